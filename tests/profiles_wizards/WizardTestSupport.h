#pragma once
// A private resource folder, recorded alerts and small picture files for the
// wizard and library tests.

#include "design_window/Globals.h"
#include "design_window/TVNWindowController.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/WizardGlobals.h"
#include "profiles_wizards/WizardWindowsImpl.h"
#include "design_window/ResourceFolder.h"
#include "platform/Alerts.h"
#include "tests/support/InstalledServices.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include <ostream>

// Readable test failures for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[' << list.join("\", \"").toStdString() << ']';
}

namespace quorvant::test {

class WizardTest : public ::testing::Test {
protected:
    TempFolder tmp;
    QStringList alerts;
    // Answers of the alerts in turn ("OK"/"Yes" is 0, "No" 1); 0 when used up.
    QList<int> answers;
    std::unique_ptr<platform::ScopedAlertResponder> responder;
    // What the wizards and the tests change of the process-wide state goes
    // back after each test.
    ScopedValue<QString> resourcePath{design_window::Resource_Path};
    ScopedValue<QString> dataFolderPath{design_window::Data_Folder_Path};
    ScopedValue<QString> templateName{profiles_wizards::export_template_name};
    ScopedValue<QString> templateText{profiles_wizards::Template_Msg_Val};
    ScopedValue<QString> templatePath{profiles_wizards::Selected_Template_Path};

    void SetUp() override
    {
        design_window::setResourceFolder(res());
        QDir().mkpath(res());
        responder = std::make_unique<platform::ScopedAlertResponder>([this](const platform::AlertRequest &r) {
            alerts.append(r.text.trimmed());
            return answers.isEmpty() ? 0 : answers.takeFirst();
        });
    }
    void TearDown() override {}

    QString res() const { return tmp.file("res"); }
    QString res(const QString &relative) const { return QDir(res()).filePath(relative); }

    // A picture file of one colour.
    static QString makePicture(const QString &path, QColor color = Qt::red, QSize size = QSize(40, 30))
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage image(size, QImage::Format_ARGB32);
        image.fill(color);
        EXPECT_TRUE(image.save(path, QFileInfo(path).suffix().compare("jpg", Qt::CaseInsensitive) == 0 ? "JPG" : "PNG"))
            << path.toStdString();
        return path;
    }
};

// A design window with the wizards installed; `user` acts in every modal
// run.
class WindowTest : public WizardTest {
protected:
    // What the program installs that the test's window reaches.
    virtual design_window::HubServices services() const
    {
        design_window::HubServices services;
        services.wizards = &profiles_wizards::designWizardWindows();
        return services;
    }
    std::unique_ptr<InstalledServices> installed;
    std::unique_ptr<TVNWindowController> wnd;
    std::function<void(QDialog &)> user;
    std::unique_ptr<platform::ScopedModalResponder> modal;
    ScopedValue<int> cardShape{design_window::Card_Shape};
    ScopedValue<QString> cardSides{design_window::CARD_SIDE_STR};
    ScopedValue<std::atomic<int>> editedSide{design_window::Card_Front_Or_Back};
    ScopedValue<int> tool{design_window::Selected_Control_Tool};
    ScopedValue<QString> libraryPick{design_window::Library_Selected_Image};
    ScopedValue<float> nextX{design_window::last_ctrl_X};
    ScopedValue<float> nextY{design_window::last_ctrl_Y};
    ScopedValue<bool> profilePlacement{design_window::Fill_User_Profile};
    ScopedValue<bool> bindingInUse{design_window::Excel_Binding_Use};
    ScopedValue<QString> bindingSource{design_window::Excel_Source_Path};
    ScopedValue<QString> startChoice{design_window::Start_Card_Option};

    void SetUp() override
    {
        WizardTest::SetUp();
        installed = std::make_unique<InstalledServices>(services());
        wnd = std::make_unique<TVNWindowController>();
        modal = std::make_unique<platform::ScopedModalResponder>([this](QDialog &d) {
            user(d);
            return d.result();
        });
    }
    void TearDown() override
    {
        modal.reset();
        wnd.reset();
        installed.reset();
        WizardTest::TearDown();
    }
};

} // namespace quorvant::test
