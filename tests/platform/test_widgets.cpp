// The widget side: alerts and modal runs that tests script, from any thread,
// the help file and switching boxes of controls.
#include "platform/Alerts.h"
#include "platform/Desktop.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"
#include "platform/Paths.h"

#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <stdexcept>

using platform::AlertRequest;
using platform::ScopedAlertResponder;

TEST(Alerts, FromAWorkerTheResponderGetsTheExactRequestOnTheMainThread)
{
    QStringList seen; // text, buttons and default button of each alert, and where it was answered
    ScopedAlertResponder responder([&](const AlertRequest &r) {
        const bool onMain = QThread::currentThread() == QCoreApplication::instance()->thread();
        seen << r.text + "|" + r.buttons.join(',') + "|" + QString::number(r.defaultButton) + (onMain ? "" : " off main");
        return seen.size() == 2 ? 0 : 1; // "Yes" to the first question, "No" to the second
    });
    bool first = false, second = true;
    quorvant::test::runOnWorker([&] {
        Show_MessageBox(QStringLiteral("Export finished."));
        first = Show_YES_NO_MessageBox(QStringLiteral("Stop?"));
        second = Show_YES_NO_MessageBox(QStringLiteral("Stop?"));
    });
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(seen, (QStringList{"\nExport finished.|OK|0", "Stop?|Yes,No|0", "Stop?|Yes,No|0"}));
}

TEST(Alerts, RespondersNestAndAFailingOneIsLoggedNotThrown)
{
    ScopedAlertResponder outer([](const AlertRequest &) -> int { throw std::runtime_error("no display"); });
    {
        ScopedAlertResponder inner([](const AlertRequest &) { return 1; });
        EXPECT_EQ(platform::showAlert({"?", {"a", "b"}, 0}), 1);
    }
    EXPECT_NO_THROW(Show_MessageBox(QStringLiteral("x")));
    EXPECT_NO_THROW(EXPECT_FALSE(Show_YES_NO_MessageBox(QStringLiteral("x"))));
}

TEST(Alerts, AQuestionThatCanBeCalledOffAnswersCancelToEscapeAndToClosing)
{
    // A real alert, no responder: the user presses a key or closes it.
    struct Row {
        const char *what;
        std::function<void(QWidget &)> act;
        YesNoCancel expected;
    } const rows[] = {
        {"Escape", [](QWidget &box) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QCoreApplication::sendEvent(&box, &escape);
         }, YesNoCancel::Cancel},
        {"close button", [](QWidget &box) { box.close(); }, YesNoCancel::Cancel},
        {"Return", [](QWidget &box) {
             QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
             QCoreApplication::sendEvent(&box, &enter);
         }, YesNoCancel::Yes},
    };
    for (const Row &row : rows) {
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr) << row.what;
            for (const QPushButton *b : box->findChildren<QPushButton *>())
                buttons << b->text();
            row.act(*box);
        });
        EXPECT_EQ(Show_YES_NO_CANCEL_MessageBox(QStringLiteral("Save?")), row.expected) << row.what;
        EXPECT_EQ(buttons, (QStringList{"Yes", "No", "Cancel"})) << row.what;
    }
}

TEST(ModalRun, TheResponderFillsTheSetUpDialogOrItRunsUntilItEnds)
{
    QWidget owner;
    QDialog dialog(&owner);
    auto *field = new QLineEdit("preset", &dialog);
    QString seen;
    {
        platform::ScopedModalResponder responder([&](QDialog &d) {
            seen = field->text();
            field->setText("typed");
            d.accept();
            return d.result();
        });
        EXPECT_EQ(platform::runModal(dialog), 1);
    }
    EXPECT_EQ(seen, "preset");
    EXPECT_EQ(field->text(), "typed");

    // Unscripted, a sheet is modal to its own window and runs until it ends.
    int shown = 0;
    QTimer::singleShot(0, &dialog, [&] {
        ++shown;
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
        dialog.reject();
    });
    EXPECT_EQ(platform::runModal(dialog, true), 0);
    EXPECT_EQ(shown, 1) << "the sheet was never shown";
}

TEST(ModalRun, ADialogOpensCentredOnTheWindowItWasOpenedFrom)
{
    QMainWindow main;
    main.setGeometry(40, 60, 700, 500);
    main.show();
    QDialog withParent(&main);
    withParent.resize(200, 100);
    QDialog withoutParent; // as the windows made before the main window
    withoutParent.resize(160, 80);
    QDialog laidOut(&main); // sized by its layout when it opens
    auto *layout = new QVBoxLayout(&laidOut);
    layout->addWidget(new QLineEdit(&laidOut));
    layout->addWidget(new QPushButton("OK", &laidOut));
    struct Row {
        QDialog *dialog;
        bool run; // shown by a real modal run, not a scripted one
        const char *what;
    };
    const Row rows[] = {{&withParent, false, "a child of the main window"},
                        {&withoutParent, false, "a dialog without a parent"},
                        {&laidOut, false, "a dialog sized by its layout"},
                        {&withoutParent, true, "a real run"}};
    for (const Row &row : rows) {
        QPoint centre;
        const auto seen = [&] {
            centre = row.dialog->frameGeometry().center();
            row.dialog->reject();
        };
        if (row.run) {
            QTimer::singleShot(0, row.dialog, seen);
            platform::runModal(*row.dialog);
        } else {
            platform::ScopedModalResponder responder([&](QDialog &) {
                seen();
                return 0;
            });
            platform::runModal(*row.dialog);
        }
        // Within the window frame's few pixels, which the dialog's own
        // frame adds only once it is shown.
        EXPECT_LE((centre - main.frameGeometry().center()).manhattanLength(), 4) << row.what;
        EXPECT_FALSE(row.dialog->isVisible()) << row.what;
    }
}

TEST(HelpFile, OpensTheUsersCopyOrTheBundlesOrSaysItIsMissing)
{
    QStringList opened, alerts;
    platform::setOpenUrlHandler([&](const QUrl &url) {
        opened << url.toLocalFile();
        return true;
    });
    const quorvant::test::OnScopeExit noHandler([] { platform::setOpenUrlHandler({}); });
    ScopedAlertResponder responder([&](const AlertRequest &r) {
        alerts << r.text;
        return 0;
    });
    quorvant::test::TempFolder bundle;
    const quorvant::test::ScopedEnvironment bundleFolder("QUORVANT_RESOURCES", bundle.path().toUtf8());
    const QString own = QDir(platform::userResourcePath()).filePath("Help.pdf");
    const quorvant::test::OnScopeExit noOwnCopy([own] { QFile::remove(own); });

    Open_Help_File();
    quorvant::test::writeTestFile(bundle.file("Help.pdf"), "x");
    Open_Help_File();
    quorvant::test::writeTestFile(own, "x");
    Open_Help_File();
    EXPECT_EQ(alerts, QStringList{"\nHelp file does not exist!"});
    EXPECT_EQ(opened, (QStringList{bundle.file("Help.pdf"), own}));

    // No program shows PDF files: the user is told where the file is.
    alerts.clear();
    platform::setOpenUrlHandler([](const QUrl &) { return false; });
    Open_Help_File();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().contains("no program to show PDF files")) << alerts.first().toStdString();
    EXPECT_TRUE(alerts.first().contains(own)) << alerts.first().toStdString();
}

TEST(SetObjEnabled, ABoxSwitchesOnAgainTheControlsSwitchedOffInside)
{
    QGroupBox box;
    auto *button = new QPushButton("Go", &box);
    button->setEnabled(false);
    SetObjEnabled(&box, true);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_NO_FATAL_FAILURE(SetObjEnabled(nullptr, true));
}

TEST(Alerts, TheWholeMessageShowsAndOneTallerThanTheScreenScrolls)
{
    // A value wider than a message box makes itself (at most 800 pixels on
    // this screen), one no line of the screen can hold, and a report of
    // more lines than the screen has room for.
    QString tall;
    for (int card = 1; card <= 120; ++card)
        tall += QStringLiteral("\nCard %1: \"4012345X\": The value cannot be written as EAN-13.").arg(card);
    const struct {
        const char *what;
        QString text;
        bool scrolls;
    } rows[] = {
        {"short", "Saved.", false},
        {"a word wider than a message box", "Card 3: \"" + QString(90, QLatin1Char('W')) + "\"", false},
        {"a word wider than the screen",
         "Card 3 was made without its barcode:\nCard 3: \"" + QString(300, QLatin1Char('W'))
             + "\": The value is too long for a Data Matrix symbol.",
         false},
        {"taller than the screen", "120 cards were made without their barcode:" + tall, true},
        // QMessageBox took a first line with a tag in it for rich text.
        {"markup and ampersands as typed", "Card 3: \"<b>Tom & Jerry</b>\"\nA &lt; B", false},
    };
    for (const auto &row : rows) {
        QString why = QStringLiteral("no alert was shown");
        bool scrolls = false;
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr) << row.what;
            why = quorvant::test::whyTextIsNotShownWhole(*box, "\n" + row.text);
            for (const QScrollBar *bar : box->findChildren<QScrollBar *>())
                scrolls = scrolls || bar->isVisible();
            box->close();
        });
        Show_MessageBox(row.text);
        EXPECT_EQ(why.toStdString(), "") << row.what;
        EXPECT_EQ(scrolls, row.scrolls) << row.what;
    }
}

TEST(Alerts, AShortMessageLeavesRoomForTheWholeTitle)
{
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    for (const char *text : {"OK", "Saved.", "Please enter password."}) {
        int width = 0;
        QString title;
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr) << text;
            width = box->width();
            title = box->windowTitle();
            box->close();
        });
        Show_MessageBox(QString::fromLatin1(text));
        // The title in the title bar's bold font, with room for the window
        // manager's buttons on either side of it.
        QFont font = QApplication::font("QMdiSubWindowTitleBar");
        font.setBold(true);
        const QFontMetrics metrics(font);
        EXPECT_EQ(title, "Quorvant") << text;
        EXPECT_GE(width, metrics.horizontalAdvance(title) + 6 * metrics.height()) << text;
    }
}
