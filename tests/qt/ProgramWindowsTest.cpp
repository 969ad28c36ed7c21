// Pictures of the program's windows as the Qt view shows them: each is
// written under the build folder for a person to look at, and checked for
// its size and for drawn captions.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRegion>
#include <QStyle>
#include <QToolBar>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmAbout.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/frmVocab.h"
#include "voicecommand/frmVolSet.h"

namespace {

int distinctColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

struct ProgramWindow {
    const char* name;
    std::function<rt::Form&()> show;
};

class ProgramWindowsTest : public testing::Test {
protected:
    ProgramWindowsTest() {
        m_registry = rt::test::uniqueTempDir("qt-program-registry");
        rt::registry::setFolder(m_registry.string());
        m_folder.makeVocabFolder();
    }
    ~ProgramWindowsTest() override {
        rt::form<frmVolSet>().unload();
        rt::form<frmAbout>().unload();
        rt::form<frmQuibo>().unload();
        Program::DiscardForms();
        Program::reset();
        std::error_code ec;
        std::filesystem::remove_all(m_registry, ec);
    }

    rt::test::ProgramFolder m_folder;
    std::filesystem::path m_registry;
};

class ProgramWindows : public ProgramWindowsTest,
                       public testing::WithParamInterface<ProgramWindow> {};

TEST_P(ProgramWindows, WindowIsDrawnAtItsSizeWithItsCaptions) {
    rt::Form& form = GetParam().show();
    QWidget* window = rt::qt::formWindow(form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle().toStdString(), form.Caption());
    EXPECT_EQ(window->width(), static_cast<int>(form.ScaleWidth() / 15 + 0.5f));

    QPixmap picture = window->grab();
    std::string file = std::string(QUIBO_QT_PICTURES) + "/" + GetParam().name + ".png";
    ASSERT_TRUE(picture.save(QString::fromStdString(file)));
    EXPECT_GT(distinctColours(picture.toImage()), 4);
    // Every captioned button and label shows its caption: more than its
    // background's colours.
    for (rt::Control* c : form.Controls()) {
        auto* button = dynamic_cast<rt::CommandButton*>(c);
        auto* label = dynamic_cast<rt::Label*>(c);
        std::string caption = button ? button->Caption() : label ? label->Caption() : "";
        if (caption.empty() || !c->Visible())
            continue;
        QWidget* w = window->findChild<QWidget*>(QString::fromStdString(c->Name()));
        ASSERT_NE(w, nullptr) << c->Name();
        EXPECT_GT(distinctColours(w->grab().toImage()), 2) << c->Name();
    }
}

// Whether the widget's text shows whole at its place, by its own font.
std::string clipped(QWidget& w) {
    QFontMetrics metrics(w.font());
    auto tooNarrow = [&](const QString& text, int room) {
        return metrics.horizontalAdvance(text) > room || metrics.height() > w.height();
    };
    if (auto* label = qobject_cast<QLabel*>(&w)) {
        if (label->text().isEmpty())
            return {};
        QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                    -label->margin(), -label->margin());
        bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                      : !tooNarrow(label->text(), room.width());
        return fits ? "" : label->text().toStdString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&w)) {
        QString text = button->text().remove('&');
        if (text.isEmpty())
            return {};
        int frame = 2 * w.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &w);
        if (qobject_cast<QCheckBox*>(&w))
            frame = w.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &w) +
                    w.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &w);
        return tooNarrow(text, w.width() - frame) ? text.toStdString() : "";
    }
    return {};
}

bool isInputOrText(QWidget& w) {
    return qobject_cast<QLabel*>(&w) || qobject_cast<QAbstractButton*>(&w) ||
           qobject_cast<QLineEdit*>(&w) || qobject_cast<QAbstractItemView*>(&w) ||
           qobject_cast<QComboBox*>(&w);
}

// Every label, caption and panel of every window reads whole where its
// window puts it.
TEST_P(ProgramWindows, EveryTextFitsItsPlace) {
    rt::Form& form = GetParam().show();
    if (auto* main = dynamic_cast<frmQuibo*>(&form)) {
        main->stbVCmd.setPanelText(1, "switch to notes");
        main->stbVCmd.setPanelText(2, "Listening paused");
    }
    QWidget* window = rt::qt::formWindow(form);
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    int checked = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        std::string text = clipped(*w);
        EXPECT_EQ(text, "") << w->objectName().toStdString() << " is cut at " << w->width() << "x"
                            << w->height() << " pixels";
        if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w))
            ++checked;
        // A grown label must not cover its neighbours.
        // A label grown past its design place must not cover its neighbours.
        auto* label = qobject_cast<QLabel*>(w);
        auto* model = dynamic_cast<rt::Label*>(form.control(w->objectName().toStdString()));
        if (!label || !model || label->text().isEmpty())
            continue;
        QRect design(int(model->Left() / 15 + 0.5f), int(model->Top() / 15 + 0.5f),
                     int(model->Width() / 15 + 0.5f), int(model->Height() / 15 + 0.5f));
        QRegion grown = QRegion(w->geometry()).subtracted(QRegion(design));
        for (QWidget* other :
             w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != w && other->isVisibleTo(window) && isInputOrText(*other)) {
                EXPECT_FALSE(grown.intersects(other->geometry()))
                    << w->objectName().toStdString() << " covers "
                    << other->objectName().toStdString();
            }
        }
    }
    EXPECT_GT(checked, 0);
}

// The program's picture is every window's icon, and the About box shows it
// beside the web site's button, which has a picture and a tool tip.
TEST_F(ProgramWindowsTest, WindowsCarryTheProgramsPictures) {
    frmAbout& about = rt::form<frmAbout>().get();
    about.Show();
    QWidget* window = rt::qt::formWindow(about);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->windowIcon().isNull());
    auto* icon = window->findChild<QLabel*>("picIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_GT(distinctColours(icon->pixmap().toImage()), 4);
    auto* web = window->findChild<QPushButton*>("cmdUlvarWebSvr");
    ASSERT_NE(web, nullptr);
    EXPECT_FALSE(web->icon().isNull());
    EXPECT_GT(distinctColours(web->grab().toImage()), 8);
    EXPECT_NE(web->toolTip().toStdString().find(frmAbout::kWebSite), std::string::npos);
    for (rt::Form* form : std::initializer_list<rt::Form*>{
             &rt::form<frmQuibo>().get(), &rt::form<frmApp>().get(), &rt::form<frmVocab>().get()}) {
        form->Show();
        ASSERT_NE(rt::qt::formWindow(*form), nullptr);
        EXPECT_FALSE(rt::qt::formWindow(*form)->windowIcon().isNull()) << form->Name();
    }
}

// Every toolbar button has a picture of its own, drawn by the program
// rather than taken from the desktop's theme.
TEST_F(ProgramWindowsTest, EveryToolbarButtonHasADistinctPicture) {
    for (rt::Form* form :
         std::initializer_list<rt::Form*>{&rt::form<frmApp>().get(), &rt::form<frmVocab>().get()}) {
        form->Show();
        QWidget* window = rt::qt::formWindow(*form);
        ASSERT_NE(window, nullptr);
        QToolBar* bar = window->findChild<QToolBar*>();
        ASSERT_NE(bar, nullptr);
        std::vector<QImage> pictures;
        for (QAction* action : bar->actions()) {
            SCOPED_TRACE(action->toolTip().toStdString());
            QImage picture = action->icon().pixmap(24, 24).toImage();
            ASSERT_FALSE(picture.isNull());
            EXPECT_GT(distinctColours(picture), 2);
            for (const QImage& other : pictures)
                EXPECT_NE(picture, other);
            pictures.push_back(picture);
        }
        ASSERT_TRUE(bar->grab().save(QString(QUIBO_QT_PICTURES) + "/" +
                                     QString::fromStdString(form->Name()) + "-toolbar.png"));
    }
}

// The status bar of the main window shows the phrase last heard: its panel
// is drawn with the text, not left as the blank panel it was.
TEST_F(ProgramWindowsTest, MainWindowDrawsThePhraseInItsStatusBar) {
    frmQuibo& main = rt::form<frmQuibo>().get();
    main.Show();
    QWidget* window = rt::qt::formWindow(main);
    ASSERT_NE(window, nullptr);
    auto* panel = window->findChild<QLabel*>(QStringLiteral("panel1"));
    ASSERT_NE(panel, nullptr);
    main.stbVCmd.setPanelText(1, "");
    QImage blank = panel->grab().toImage();

    main.stbVCmd.setPanelText(1, "Notes");
    EXPECT_EQ(panel->text().toStdString(), "Notes");
    QImage heard = panel->grab().toImage();
    EXPECT_EQ(heard.size(), blank.size());
    EXPECT_NE(heard, blank);
    EXPECT_GT(distinctColours(heard), distinctColours(blank));
    // A message too long for the bar leaves the phrase whole and is
    // shortened itself; its whole text is the panel's tool tip.
    std::string message = "Grammar file not found: " + m_folder.path().string() + "/temp.txt";
    main.stbVCmd.setPanelText(2, message);
    auto* panel2 = window->findChild<QLabel*>(QStringLiteral("panel2"));
    ASSERT_NE(panel2, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(panel->text().toStdString(), "Notes");
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width());
    EXPECT_LE(panel2->fontMetrics().horizontalAdvance(panel2->text()),
              panel2->contentsRect().width());
    EXPECT_EQ(panel2->toolTip().toStdString(), message);
    EXPECT_EQ(panel2->text().left(10).toStdString(), message.substr(0, 10));
    QPixmap picture = window->grab();
    EXPECT_EQ(picture.width(), window->width());
    EXPECT_EQ(picture.height(), window->height());
    ASSERT_TRUE(picture.save(
        QString::fromStdString(std::string(QUIBO_QT_PICTURES) + "/frmQuibo-heard.png")));
}

TEST_F(ProgramWindowsTest, ToolbarButtonsShowTheirPicturesAndTooltips) {
    frmApp& form = rt::form<frmApp>().get();
    form.Show();
    QWidget* window = rt::qt::formWindow(form);
    ASSERT_NE(window, nullptr);
    auto* bar = window->findChild<QToolBar*>("tbrApp");
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), form.tbrApp.ButtonCount());
    for (int i = 1; i <= form.tbrApp.ButtonCount(); ++i) {
        const rt::ToolbarButton& button = form.tbrApp.Buttons(i);
        QAction* action = bar->actions().at(i - 1);
        SCOPED_TRACE(button.Key);
        EXPECT_FALSE(action->icon().isNull());
        EXPECT_EQ(action->toolTip().toStdString(), button.ToolTipText);
    }
    ASSERT_TRUE(bar->grab().save(QString(QUIBO_QT_PICTURES) + "/frmApp-toolbar.png"));
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramWindows,
                         testing::Values(ProgramWindow{"frmQuibo",
                                                       []() -> rt::Form& {
                                                           rt::form<frmQuibo>()->Show();
                                                           return rt::form<frmQuibo>().get();
                                                       }},
                                         ProgramWindow{"frmApp",
                                                       []() -> rt::Form& {
                                                           rt::form<frmApp>()->Show();
                                                           return rt::form<frmApp>().get();
                                                       }},
                                         ProgramWindow{"frmVocab",
                                                       []() -> rt::Form& {
                                                           rt::form<frmVocab>()->Show();
                                                           return rt::form<frmVocab>().get();
                                                       }},
                                         ProgramWindow{"frmVolSet",
                                                       []() -> rt::Form& {
                                                           rt::form<frmVolSet>()->Show();
                                                           return rt::form<frmVolSet>().get();
                                                       }},
                                         ProgramWindow{"frmAbout",
                                                       []() -> rt::Form& {
                                                           rt::form<frmAbout>()->Show();
                                                           return rt::form<frmAbout>().get();
                                                       }}),
                         [](const testing::TestParamInfo<ProgramWindow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
