// A main window started in temporary program, home and configuration folders, with the
// platform doubles answering for the desktop.
#pragma once

#include "app/Form1.h"
#include "settings/SettingsFile.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class MainWindow : public ::testing::Test
{
protected:
    void start(const QString &programFolder = QString())
    {
        const ProgramEnvironment environment = desktop.environment(
            programFolder.isEmpty() ? program.path() : programFolder, user.path(), home.path());
        form = std::make_unique<Form1>(environment);
        form->Form_Load();
    }

    void showActive()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    QString programSettings() const
    {
        return program.filePath(QStringLiteral("config/xueji_orin.ini"));
    }
    settings::SettingValues defaults() const { return settings::defaultValues(home.path()); }

    void writeSettings(const settings::SettingValues &values)
    {
        QDir(program.path()).mkpath(QStringLiteral("config"));
        writeBytes(programSettings(), settings::encode(values));
    }

    QTemporaryDir program, home, user;
    FakeDesktop desktop;
    FakeShell &shell = desktop.shell;
    FakeDialogs &dialogs = desktop.dialogs;
    std::unique_ptr<Form1> form;
};
