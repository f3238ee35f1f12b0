// A class session in temporary program, home and configuration folders, with the platform
// doubles answering for the desktop, and a class of students imported from a CSV class list.
#pragma once

#include "roster/IdCardCheck.h"
#include "roster/PhotoMarks.h"
#include "session/ClassSession.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace lumo;
using namespace Qt::Literals::StringLiterals;

// A valid resident ID-card number, a different one for each row.
inline QString idOf(int row)
{
    const QString first17 = u"11010120100101%1"_s.arg(row, 3, 10, QLatin1Char('0'));
    return first17 + roster::residentIdCheckCharacter(first17);
}

class SessionTest : public ::testing::Test
{
protected:
    void start(const QString &programFolder = QString(),
               const QString &installedDataFolder = QString())
    {
        const session::ProgramFolders folders{programFolder.isEmpty() ? program.path()
                                                                      : programFolder,
                                              user.path(), home.path(), installedDataFolder};
        session = std::make_unique<session::ClassSession>(
            folders, session::SessionServices{dialogs, camera, speech, sound, shell});
        session->start();
        // The colour-pattern photos have no face: the photo checks have tests of their own.
        settings::LumoSettings options = session->lumoSettings();
        options.checkPhotos = false;
        session->setLumoSettings(options);
    }

    // Imports a class of that many students "学生1".. with 18-character ID-card numbers.
    void importClass(int students, bool voiceOn = false)
    {
        QString csv = u"姓名,身份证号,照片,班级\n"_s;
        for (int row = 1; row <= students; ++row)
            csv += u"学生%1,%2,,三年二班\n"_s.arg(row).arg(idOf(row));
        writeBytes(program.filePath(u"class.csv"_s), csv.toUtf8());
        session->setSetting(&settings::SessionSettings::workbookPath, u"class.csv"_s);
        session->setSetting(&settings::SessionSettings::outputFolder, output.path());
        session->setSetting(&settings::SessionSettings::backupFolder, backup.path());
        session->setSetting(&settings::SessionSettings::voiceOff, voiceOn ? 0 : 1);
        session->importClass();
        dialogs.messages.clear();
        dialogs.titles.clear();
    }

    QString photoOf(int student) const
    {
        return QDir(output.path()).filePath(idOf(student) + u".jpg"_s);
    }

    QTemporaryDir program, home, user, output, backup;
    FakeDialogs dialogs;
    FakePhotoSource camera;
    FakeSpeech speech;
    FakeShutterSound sound;
    FakeShell shell;
    std::unique_ptr<session::ClassSession> session;
};
