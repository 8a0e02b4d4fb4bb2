#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "registry/registry_api.h"

namespace pw {

using RegistryBytes = std::vector<std::uint8_t>;

// A value as WinRegistry reads and writes it: empty, text, 32-bit integer or bytes. The 8-bit
// and 16-bit integers are accepted by SaveValue (written as 32-bit integers); a floating-point
// number is a kind no value can be stored from.
using RegistryData = std::variant<std::monostate, std::string, std::int32_t, RegistryBytes,
                                  std::uint8_t, std::int16_t, double>;

// Where the main program's registry failures are shown: a message box in the window, standard
// error on the command line.
using RegistryMessageSink = std::function<void(const std::string& message)>;

// Error numbers raised by WinRegistry itself; any other number is a registry function's code.
inline constexpr long kErrBadRootKey = 30256;
inline constexpr long kErrBadSubkeyName = 30257;
inline constexpr long kErrBadAccess = 30258;
inline constexpr long kErrCannotStore = 30259;
inline constexpr long kErrBadValueName = 30260;
inline constexpr long kErrNoKeyOpen = 30261;
inline constexpr long kErrBadValueType = 30262;
inline constexpr long kErrBadIndex = 30263;
// Raised when an array of more than 32767 bytes is saved.
inline constexpr long kErrOverflow = 6;

// Failure handling of the main program's build: "Erreur " + operation + " : " + number goes
// to the sink, and the operation returns an empty or zero result.
struct ShowFailures {
    ShowFailures() = default;
    ShowFailures(RegistryMessageSink messageSink) : sink(std::move(messageSink)) {}

    void failed(std::string_view operation, long number) const;
    void opened(long) const {}

    RegistryMessageSink sink;
};

// Failure handling of the uninstaller's build: nothing is shown, and OpenKey records its
// return code in registryOpenResult().
struct SilentFailures {
    void failed(std::string_view, long) const {}
    void opened(long code) const;
};

// The program-wide result of the uninstaller build's last OpenKey: 0 when the key was opened,
// else the system's return code (or the number of the argument check that refused the call).
std::int16_t& registryOpenResult();

// Holds at most one open registry key and reads, writes and lists under it. Every operation
// checks its arguments first (the numbered errors above), then calls the registry; a failure
// goes to `Failures` and the operation returns an empty or zero result. QueryValue never
// reports: it returns an empty value. The two builds are WinRegistry (main program) and
// SilentWinRegistry (uninstaller).
template <class Failures>
class BasicWinRegistry {
  public:
    explicit BasicWinRegistry(Failures failures = Failures(), RegistryApi& api = systemRegistry())
        : m_failures(std::move(failures)), m_api(api) {}
    ~BasicWinRegistry() { CloseKey(); }
    BasicWinRegistry(const BasicWinRegistry&) = delete;
    BasicWinRegistry& operator=(const BasicWinRegistry&) = delete;

    // Deletes subkey `subkeyName` of the open key; a subkey that has subkeys is refused (5).
    void DeleteKey(const std::string& subkeyName);
    // Opens `subkeyName` below root `rootKey` as the open key, closing the previous one.
    void OpenKey(std::uint32_t rootKey, const std::string& subkeyName, std::uint32_t access);
    // Opens or creates `subkeyName` below `rootKey`; returns 1 when it was created, 2 when it
    // existed, 0 on failure.
    std::int32_t CreateKey(std::uint32_t rootKey, const std::string& subkeyName,
                           std::uint32_t access, bool isVolatile);
    // The number of subkeys / values of the open key; 0 on failure.
    std::int32_t SubkeyCount();
    std::int32_t ValueCount();
    // The name of the subkey / value at `index` (from 0); empty on failure (259 past the end).
    std::string GetSubkeyName(std::int32_t index);
    std::string GetValueName(std::int32_t index);
    // Deletes value `valueName` of the open key.
    void DeleteValue(const std::string& valueName);
    // Writes `data` as value `valueName` (empty: the key's default value, which takes text
    // only). Integers become type 4, text type 1, bytes type 3; any other kind fails with 87.
    void SaveValue(const std::string& valueName, const RegistryData& data);
    // Reads value `valueName` (empty: the default value) as text, 32-bit integer or bytes;
    // empty when it is missing or cannot be read.
    RegistryData QueryValue(const std::string& valueName);
    // Closes the open key, if any. Never fails.
    void CloseKey();

    // The description of an error number. No per-number texts ship with the program, so it is
    // always "Undefined registry return error code.".
    static std::string ErrTxt(long number);

    // The number raised by the last operation, 0 when it succeeded.
    long lastError() const { return m_lastError; }
    // The system handle of the open key, 0 when none is open.
    RegKey openKey() const { return m_key; }

  private:
    // The access masks an open or create accepts (two occur twice, as they always have).
    static constexpr std::array<std::uint32_t, 11> kAccessTable = {
        0xF003F, 0x1, 0x2, 0x20006, 0x20019, 0x4, 0x8, 0x1, 0x10, 0x20, 0x20019};

    static bool BadRootKey(std::uint32_t rootKey);
    static bool BadSubkeyName(const std::string& subkeyName);
    static bool BadValueName(const std::string& valueName);
    static bool BadAccess(std::uint32_t access);
    static bool BadValueType(std::uint32_t type);

    std::int32_t GetCount(bool subkeys);
    long writeValue(const std::string& valueName, const RegistryData& data);
    // Records `number` as the operation's failure and reports it.
    void fail(std::string_view operation, long number);

    Failures m_failures;
    RegistryApi& m_api;
    RegKey m_key = 0;
    long m_lastError = 0;
};

extern template class BasicWinRegistry<ShowFailures>;
extern template class BasicWinRegistry<SilentFailures>;

using WinRegistry = BasicWinRegistry<ShowFailures>;
using SilentWinRegistry = BasicWinRegistry<SilentFailures>;

}  // namespace pw
