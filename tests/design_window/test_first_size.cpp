// The design window's first size on screens of two sizes. An offscreen
// screen has one size for the whole program, so the test runs this program
// again for each screen, and the check runs there.
#include "WindowFixture.h"
#include "tests/design_window/Outlets.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTextEdit>
#include <QToolBar>

using quorvant::test::outlet;

namespace {

// The screen the program runs on, "WIDTHxHEIGHT"; set only for the run
// that checks.
constexpr char kScreenVariable[] = "QUORVANT_TEST_SCREEN";

// The inspector's controls that the user sees on the page shown.
QList<QWidget *> shownControls(QWidget *inspector)
{
    QList<QWidget *> controls;
    for (QWidget *w : inspector->findChildren<QWidget *>()) {
        const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractSpinBox *>(w)
            || qobject_cast<QComboBox *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QTextEdit *>(w)
            || qobject_cast<QListWidget *>(w);
        if (control && w->isVisibleTo(inspector) && !qobject_cast<QAbstractSpinBox *>(w->parentWidget())
            && !qobject_cast<QComboBox *>(w->parentWidget()))
            controls.append(w);
    }
    return controls;
}

} // namespace

// The checks, in the program run for one screen.
static void checkFirstSize(TVNWindowController *wnd)
{
    const QList<QByteArray> wh = qgetenv(kScreenVariable).split('x');
    const QSize screen(wh.value(0).toInt(), wh.value(1).toInt());
    ASSERT_EQ(QGuiApplication::primaryScreen()->size(), screen);
    const bool large = screen.width() >= 1600;

    // A card of 120 x 150 mm, as an invitation's.
    wnd->applyCardSize(QSizeF(120, 150));
    wnd->show();
    QApplication::processEvents();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(wnd->frameGeometry())) << "the window leaves the screen";

    // Every page of the inspector: its controls are whole across, and on a
    // large screen whole without scrolling.
    auto *inspector = outlet<QWidget>(*wnd, "property_inspector");
    auto *scroll = qobject_cast<QScrollArea *>(inspector->parentWidget()->parentWidget());
    ASSERT_NE(scroll, nullptr);
    const int pages[] = {-1, TVNWindowController::kTextTool, TVNWindowController::kImageTool,
                         TVNWindowController::kBarcodeTool};
    for (int tool : pages) {
        if (tool >= 0)
            wnd->selectTool(tool);
        else
            wnd->Show_RHS_Properties(nullptr);
        QApplication::processEvents();
        const QString page = outlet<QStackedWidget>(*wnd, "inspector_pages")->currentWidget()->objectName();
        const QRect seen = scroll->viewport()->rect();
        for (QWidget *control : shownControls(inspector)) {
            const QRect at(control->mapTo(scroll->viewport(), QPoint()), control->size());
            const std::string what = (page + " " + control->objectName() + " " + control->metaObject()->className())
                                         .toStdString();
            EXPECT_TRUE(at.left() >= seen.left() && at.right() <= seen.right()) << what << " is cut across";
            if (large) {
                EXPECT_TRUE(seen.contains(at)) << what << " is not seen";
            }
        }
    }

    // The toolbar's buttons stay where they are while Undo names a step.
    auto *tools = outlet<QToolBar>(*wnd, "tool_bar");
    const auto places = [&] {
        std::vector<int> left;
        for (QAction *action : tools->actions())
            left.push_back(tools->widgetForAction(action) ? tools->widgetForAction(action)->x() : -1);
        return left;
    };
    wnd->design().document->undoManager().clear();
    QApplication::processEvents();
    const std::vector<int> before = places();
    wnd->selectTool(TVNWindowController::kTextTool);
    QApplication::processEvents();
    EXPECT_TRUE(outlet<QAction>(*wnd, "act_undo")->text().size() > QStringLiteral("&Undo").size());
    EXPECT_EQ(places(), before);
}

TEST_F(DesignWindow, TheFirstSizeFitsTheScreenAndShowsTheWholeInspector)
{
    if (qEnvironmentVariableIsSet(kScreenVariable)) {
        checkFirstSize(wnd.get());
        return;
    }
    for (const QSize screen : {QSize(1600, 1000), QSize(1024, 700)}) {
        quorvant::test::TempFolder tmp;
        const QString config = tmp.file("screen.json");
        quorvant::test::writeTestFile(
            config, QStringLiteral(R"({"screens": [{"name": "only", "x": 0, "y": 0, "width": %1, "height": %2,
                                      "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                        .arg(screen.width())
                        .arg(screen.height())
                        .toUtf8());
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
        env.insert(kScreenVariable, QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()));
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QCoreApplication::applicationFilePath(),
                  {"--gtest_filter=DesignWindow.TheFirstSizeFitsTheScreenAndShowsTheWholeInspector"});
        ASSERT_TRUE(run.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(run.readAll());
        EXPECT_EQ(run.exitCode(), 0) << screen.width() << "x" << screen.height() << ":\n" << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    }
}
