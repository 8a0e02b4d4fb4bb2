#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <string>

namespace pw::test {

// A throw-away home for one window: HOME, XDG_CONFIG_HOME, the settings file, the registry
// hive and the installation directory all lie in one temporary folder.
class WindowTestEnv {
  public:
    WindowTestEnv() {
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("home/.config"));
        root.mkpath(QStringLiteral("inst"));
        qputenv("HOME", path("home").toUtf8());
        qputenv("XDG_CONFIG_HOME", path("home/.config").toUtf8());
        qputenv("PAGEWRIGHT_INI", iniPath().toUtf8());
        qputenv("PAGEWRIGHT_REGISTRY", path("registry.reg").toUtf8());
    }

    // A path below the temporary folder.
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    QString iniPath() const { return path(QStringLiteral("PgWright.ini")); }
    // The installation directory the window is given, with its trailing "/".
    std::string installDir() const {
        return m_installDir.empty() ? (path(QStringLiteral("inst")) + "/").toStdString()
                                    : m_installDir;
    }
    // Gives the window another installation directory (ending with "/"), such as the build's.
    void useInstallDir(std::string directory) { m_installDir = std::move(directory); }
    // The default directory of every directory field.
    QString defaultDir() const { return path(QStringLiteral("home")) + "/Pagewright/"; }

    QString iniText() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    void writeFile(const QString& relative, const QByteArray& bytes) const {
        QFile file(path(relative));
        QDir().mkpath(QFileInfo(file).path());
        if (file.open(QIODevice::WriteOnly)) {
            file.write(bytes);
        }
    }

  private:
    QTemporaryDir m_dir;
    std::string m_installDir;
};

}  // namespace pw::test
