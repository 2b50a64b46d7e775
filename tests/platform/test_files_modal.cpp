#include "platform/Files.h"
#include "platform/ModalRun.h"
#include "platform/Paths.h"

#include "tests/support/TestSupport.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A small dialog with a field and OK/Cancel, like the program's dialogs.
struct NameDialog : QDialog {
    QLineEdit *field = new QLineEdit(this);
    QDialogButtonBox *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    NameDialog()
    {
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(field);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
};

} // namespace

TEST(AtomicWrite, ReplacesTheWholeFileOrLeavesTheOldOne)
{
    quorvant::test::TempFolder tmp;
    const QString path = tmp.file("design.zelg");
    QString error;
    ASSERT_TRUE(platform::writeFileAtomically(path, "first version", &error)) << error.toStdString();
    ASSERT_TRUE(platform::writeFileAtomically(path, "second", &error));
    EXPECT_EQ(contents(path), QByteArray("second"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"design.zelg"});

    // A folder that does not exist: failure reported, nothing created.
    error.clear();
    EXPECT_FALSE(platform::writeFileAtomically(tmp.file("missing/x.txt"), "data", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(tmp.file("missing")));

    // A read-only folder: the existing file stays as it was.
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool written = platform::writeFileAtomically(path, "third", &error);
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!written) { // root may write anyway
        EXPECT_EQ(contents(path), QByteArray("second"));
    }

    EXPECT_FALSE(platform::writeFileAtomically(QString(), "x"));
}

TEST(ModalRun, TheResponderGetsTheSetUpDialogAndAnswers)
{
    NameDialog dialog;
    dialog.field->setText("preset");
    QString seen;
    platform::ScopedModalResponder responder([&](QDialog &d) {
        auto &named = static_cast<NameDialog &>(d);
        seen = named.field->text();
        named.field->setText("typed");
        named.buttons->button(QDialogButtonBox::Ok)->click();
        return d.result();
    });
    EXPECT_EQ(platform::runModal(dialog), 1);
    EXPECT_EQ(seen, "preset");
    EXPECT_EQ(dialog.field->text(), "typed");

    platform::ScopedModalResponder cancel([](QDialog &d) {
        static_cast<NameDialog &>(d).buttons->button(QDialogButtonBox::Cancel)->click();
        return d.result();
    });
    EXPECT_EQ(platform::runModal(dialog, true), 0);
}

TEST(ModalRun, WithoutAResponderTheDialogRunsUntilItEnds)
{
    QWidget owner;
    NameDialog dialog;
    dialog.setParent(&owner, Qt::Dialog);
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
        dialog.done(1);
    });
    EXPECT_EQ(platform::runModal(dialog, true), 1);
}

TEST(Paths, UserFolderFollowsXdgAndBundleFollowsTheOverride)
{
    const QString user = platform::userResourcePath();
    EXPECT_EQ(user, qEnvironmentVariable("XDG_DATA_HOME") + "/Quorvant");
    EXPECT_TRUE(QFileInfo(user).isDir());

    qputenv("QUORVANT_RESOURCES", "/somewhere/else/");
    EXPECT_EQ(platform::bundleResourcesPath(), "/somewhere/else");
    qunsetenv("QUORVANT_RESOURCES");
    // From the build tree: the source tree's resources folder.
    EXPECT_EQ(platform::bundleResourcesPath(), QStringLiteral(QUORVANT_SOURCE_DIR "/resources"));
}
