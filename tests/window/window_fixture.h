#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/profile.h"
#include "tests/window/window_test_env.h"
#include "window/form1.h"

namespace pw::test {

struct Message {
    RunHost::Icon icon;
    QString text;
};

// One window over a fresh temporary home, its message boxes recorded instead of shown.
struct Fixture {
    WindowTestEnv env;
    std::vector<Message> messages;
    std::vector<std::vector<std::string>> started;
    std::unique_ptr<Form1> window;

    explicit Fixture(std::function<void(WindowTestEnv&)> before = nullptr) {
        if (before) {
            before(env);
        }
        WindowServices services;
        services.messageBox = [this](RunHost::Icon icon, const QString& text) {
            messages.push_back({icon, text});
        };
        services.installDir = [this] { return env.installDir(); };
        services.startDetached = [this](const std::vector<std::string>& argv) {
            started.push_back(argv);
            return true;
        };
        window = std::make_unique<Form1>(services);
    }

    template <class T>
    T* get(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            qFatal("no control %s", name);
        }
        return widget;
    }
    QLineEdit* field(const char* name) const { return get<QLineEdit>(name); }

    QString stored(std::string_view section, std::string_view key) const {
        return QString::fromStdString(readProfileString(Env::system(), env.iniPath().toStdString(),
                                                        section, key, "<missing>", 500));
    }

    int count(const QString& text) const {
        int n = 0;
        for (const Message& message : messages) {
            n += message.text == text ? 1 : 0;
        }
        return n;
    }

    // A data file of `records` lines, a model with two regions and an empty destination.
    void preparePagesRun(int records) {
        QByteArray data;
        for (int i = 0; i < records; ++i) {
            data += QByteArray("page") + QByteArray::number(i) + ";Title " + QByteArray::number(i) +
                    ";value\n";
        }
        env.writeFile(QStringLiteral("run/data.txt"), data);
        env.writeFile(QStringLiteral("run/model.htm"),
                      "<html><head><title>x</title></head><body>\n<!--tag2-->\n<!--/tag2-->\n"
                      "</body></html>\n");
        QDir().mkpath(env.path(QStringLiteral("run/out")));
        field("source")->setText(env.path(QStringLiteral("run/data.txt")));
        field("fichiermodele")->setText(env.path(QStringLiteral("run/model.htm")));
        field("destination")->setText(env.path(QStringLiteral("run/out")) + "/");
    }

    int pagesWritten() const {
        return QDir(env.path(QStringLiteral("run/out")))
            .entryList(QStringList{QStringLiteral("*.htm")}, QDir::Files)
            .size();
    }

    bool tabsSelectable() const {
        auto* tabs = get<QTabWidget>("onglet");
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabEnabled(i)) {
                return false;
            }
        }
        return true;
    }
};

// Runs one QtTest object offscreen on a 1280 by 1024 screen at 96 dpi, with a private runtime
// folder so Qt never touches the real one.
template <class Test>
int runWindowTests(int argc, char** argv) {
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    const QString screens = runtime.filePath(QStringLiteral("screens.json"));
    QFile config(screens);
    if (config.open(QIODevice::WriteOnly)) {
        config.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1280,)"
                     R"( "height": 1024, "logicalDpi": 96}]})");
        config.close();
    }
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).toUtf8());
    QApplication application(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace pw::test
