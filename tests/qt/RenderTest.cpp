#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <set>

#include "tests/qt/QtViewFixture.h"

namespace rt::test {
namespace {

int distinctColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

TEST_F(QtViewTest, ShownFormBecomesAWindowWithTheModelsGeometryAndCaption) {
    SampleForm& f = showSample();
    QWidget* win = window();
    ASSERT_NE(win, nullptr);
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle(), "Sample window");
    EXPECT_EQ(win->x(), 40);
    EXPECT_EQ(win->y(), 40);
    int menuHeight = win->findChild<QMenuBar*>()->height();
    EXPECT_EQ(win->width(), static_cast<int>(f.ScaleWidth() / 15 + 0.5f));
    EXPECT_EQ(win->height() - menuHeight, static_cast<int>(f.ScaleHeight() / 15 + 0.5f));
}

TEST_F(QtViewTest, EveryControlSitsAtItsModelGeometryInPixels) {
    SampleForm& f = showSample();
    for (Control* c : f.Controls()) {
        if (dynamic_cast<Menu*>(c))
            continue;
        QWidget* w = widget(*c);
        ASSERT_NE(w, nullptr) << c->Name();
        EXPECT_EQ(w->geometry(),
                  QRect(static_cast<int>(c->Left() / 15), static_cast<int>(c->Top() / 15),
                        static_cast<int>(c->Width() / 15), static_cast<int>(c->Height() / 15)))
            << c->Name();
    }
}

TEST_F(QtViewTest, RenderedFormShowsItsCaptionsAndIsSavedAsAPicture) {
    SampleForm& f = showSample();
    QPixmap picture = window()->grab();
    ASSERT_TRUE(picture.save(QUIBO_QT_PICTURES "/sample-form.png"));
    EXPECT_GT(distinctColours(picture.toImage()), 4);

    // The label's caption leaves ink where an empty label has none.
    QImage written = widget(f.lblTitle)->grab().toImage();
    f.lblTitle.setCaption("");
    QImage empty = widget(f.lblTitle)->grab().toImage();
    EXPECT_GT(distinctColours(written), distinctColours(empty));
    EXPECT_EQ(distinctColours(empty), 1);
}

TEST_F(QtViewTest, WidgetsFollowTheModelWhenItChanges) {
    SampleForm& f = showSample();
    f.setCaption("Renamed");
    f.cmdStart.setCaption("&Stop");
    f.cmdStart.Move(300, 600, 1500, 450);
    f.txtName.setText("hello");
    f.chkLoud.setValue(vbGrayed);
    f.lstWords.setSelected(2, true);
    f.prgLevel.setValue(75);
    f.sbrStatus.setPanelText(2, "Paused");
    f.lblTitle.setVisible(false);
    f.cboMode.setEnabled(false);

    EXPECT_EQ(window()->windowTitle(), "Renamed");
    EXPECT_EQ(widget<QPushButton>(f.cmdStart)->text(), "&Stop");
    EXPECT_EQ(widget(f.cmdStart)->geometry(), QRect(20, 40, 100, 30));
    EXPECT_EQ(widget<QLineEdit>(f.txtName)->text(), "hello");
    EXPECT_EQ(widget<QCheckBox>(f.chkLoud)->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(widget<QListWidget>(f.lstWords)->item(2)->isSelected());
    EXPECT_EQ(widget<QProgressBar>(f.prgLevel)->value(), 750);
    EXPECT_EQ(widget(f.sbrStatus)->findChild<QLabel*>("panel2")->text(), "Paused");
    EXPECT_FALSE(widget(f.lblTitle)->isVisible());
    EXPECT_FALSE(widget(f.cboMode)->isEnabled());
}

TEST_F(QtViewTest, AnsiTextIsShownAsUnicode) {
    SampleForm& f = showSample();
    f.lblTitle.setCaption("Caf\xe9 \x80");
    EXPECT_EQ(widget<QLabel>(f.lblTitle)->text(), QString::fromUtf8("Café €"));
}

TEST_F(QtViewTest, HidingTheFormRemovesItsWindowAndShowingBuildsItAgain) {
    SampleForm& f = showSample();
    f.Hide();
    EXPECT_EQ(window(), nullptr);
    f.txtName.setText("changed while hidden");
    f.Show();
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(widget<QLineEdit>(f.txtName)->text(), "changed while hidden");
}

} // namespace
} // namespace rt::test
