// The main window's work on a key press: the import of a large class, one view refresh, the
// whole Next command, and an idle tick of the key poller. Run on an X server:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/window_bench
#include "app/Form1.h"
#include "app/PictureBox.h"
#include "platform/QtScreenGrabber.h"
#include "platform/X11KeyPoller.h"
#include "tests/support/FakePlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The main window as a class session has it, with the real screen grab and keys of the X
// server; dialogs, speech and the shutter sound are silent stand-ins.
struct Session
{
    explicit Session(ScreenGrabber &screen, KeyPoller &keys)
        : environment{program.path(), program.path(),  program.path(),
                      desktop.shell,  desktop.dialogs, keys,
                      screen,         desktop.speech,  desktop.sound},
          form(environment)
    {
        form.Form_Load();
        form.show();
        form.TextOutPath->setText(QDir(program.path()).filePath(QStringLiteral("photos")));
        form.TextBakPath->setText(QDir(program.path()).filePath(QStringLiteral("backup")));
        QDir(program.path()).mkpath(QStringLiteral("backup"));
        form.CheckAutoBak->setChecked(true);
        form.CheckInNotYuYIn->setChecked(true);
        // A copy: the shut-down writes the photo marks into the class list.
        const QString classList = QDir(program.path()).filePath(QStringLiteral("class.xls"));
        QFile::copy(QStringLiteral(LUMO_ROSTER_TEST_DATA "/big-xlwt.xls"), classList);
        form.TextExcelPath->setText(classList);
    }

    QTemporaryDir program;
    FakeDesktop desktop;
    ProgramEnvironment environment;
    Form1 form;
};

// The screen grab without the pause that lets the windows below repaint, to see Lumo's own work.
class GrabWithoutPause : public QtScreenGrabber
{
public:
    void letWindowsRepaint() override {}
};

void BM_ImportClassOf2999(benchmark::State &state)
{
    QtScreenGrabber screen;
    X11KeyPoller keys;
    Session session(screen, keys);
    for (auto _ : state)
        session.form.DaoRuExcel_Click();
    state.counters["students"] = session.form.ZongShu;
}
BENCHMARK(BM_ImportClassOf2999)->Unit(benchmark::kMillisecond);

void BM_ViewRefreshWithBothReviewPhotos(benchmark::State &state)
{
    QtScreenGrabber screen;
    X11KeyPoller keys;
    Session session(screen, keys);
    session.form.DaoRuExcel_Click();
    QImage photo(260, 320, QImage::Format_RGB888);
    photo.fill(QColor(180, 150, 120));
    QDir(session.form.TextOutPath->text()).mkpath(QStringLiteral("."));
    for (int row = 1; row <= 4; ++row)
        photo.save(QDir(session.form.TextOutPath->text())
                       .filePath(session.form.XueShengXinXi.idNumber(row) + QStringLiteral(".jpg")),
                   "JPEG", 80);
    qint16 student = 3;
    for (auto _ : state) {
        session.form.moveToStudent(student);
        student = student == 3 ? 4 : 3;
    }
}
BENCHMARK(BM_ViewRefreshWithBothReviewPhotos)->Unit(benchmark::kMicrosecond);

// CapsLock in the one-key workflow: capture of 300 x 369, save with every step, view refresh.
template <typename Grabber> void nextStudent(benchmark::State &state)
{
    Grabber screen;
    X11KeyPoller keys;
    Session session(screen, keys);
    session.form.DaoRuExcel_Click();
    session.form.ZhaoPKuan->setText(QStringLiteral("300"));
    session.desktop.dialogs.answerYes = true; // overwrite earlier rounds' photos
    for (auto _ : state) {
        if (session.form.NowXS > 2900) {
            state.PauseTiming();
            session.form.moveToStudent(1);
            state.ResumeTiming();
        }
        session.form.CommandIn_Click();
    }
}

void BM_NextStudent(benchmark::State &state)
{
    nextStudent<QtScreenGrabber>(state);
}
BENCHMARK(BM_NextStudent)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_NextStudentOwnWork(benchmark::State &state)
{
    nextStudent<GrabWithoutPause>(state);
}
BENCHMARK(BM_NextStudentOwnWork)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_PollerTickWithoutKeys(benchmark::State &state)
{
    QtScreenGrabber screen;
    X11KeyPoller keys;
    Session session(screen, keys);
    for (auto _ : state)
        session.form.Timer1_Timer();
}
BENCHMARK(BM_PollerTickWithoutKeys)->Unit(benchmark::kMicrosecond);

} // namespace
