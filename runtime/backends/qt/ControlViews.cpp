#include "runtime/backends/qt/ControlViews.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRubberBand>
#include <QSlider>
#include <QToolBar>
#include <algorithm>
#include <functional>
#include <vector>

#include "runtime/backends/qt/FormWindow.h"
#include "runtime/backends/qt/QtKeys.h"
#include "runtime/backends/qt/QtSupport.h"
#include "runtime/backends/qt/StockPictures.h"
#include "runtime/backends/qt/UserControlView.h"
#include "runtime/forms/CheckBox.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Font.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/PictureBox.h"
#include "runtime/forms/ProgressBar.h"
#include "runtime/forms/Slider.h"
#include "runtime/forms/StatusBar.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/Toolbar.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"

namespace rt::qt {

namespace {

// A check box whose state only the model changes.
class ModelCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

// The control's font as the view draws it. Its size in points becomes
// pixels at the screen's twips per pixel, as the design's geometry does, so
// text keeps to the design's widths whatever the desktop's dots per inch. A
// face the desktop lacks (the runtime's default one among them) becomes a
// condensed sans serif face, whose widths come closest to it.
QFont viewFont(const Font& model, QFont font) {
    QString family = toQt(model.Name());
    if (!family.isEmpty() && QFontDatabase::hasFamily(family)) {
        font.setFamily(family);
    } else {
        font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
        font.setStretch(QFont::Condensed);
    }
    if (model.Size() > 0)
        font.setPixelSize(
            std::max(1, static_cast<int>(model.Size() * 20 / Screen().TwipsPerPixelY + 0.5f)));
    font.setBold(model.Bold());
    return font;
}

// Follows a manual drag that a press started; defined below.
void followDragFrom(const QPoint& global);

// Marks the view of a control that is drawn on its container rather than
// being a window of its own (a label).
constexpr const char* kWindowless = "quiboWindowless";

// A windowless control lies beneath every sibling that is a window, so
// where they overlap the window takes the click; windowless ones keep their
// order among themselves.
void stackBeneathWindowedSiblings(QWidget& widget) {
    QWidget* parent = widget.parentWidget();
    if (!parent)
        return;
    // Bottom first.
    for (QObject* child : parent->children()) {
        if (child == &widget)
            return;
        auto* sibling = qobject_cast<QWidget*>(child);
        if (sibling && !sibling->isWindow() && !sibling->property(kWindowless).toBool()) {
            widget.stackUnder(sibling);
            return;
        }
    }
}

// Ties one widget to its control: refreshes it and turns Qt's mouse and key
// events into user actions. A child of the widget, so it dies with it.
class Binding : public QObject {
public:
    Binding(Control& control, QWidget& widget, FormWindow& window, std::function<void()> refresh)
        : QObject(&widget), m_control(control), m_widget(&widget), m_window(&window),
          m_refresh(std::move(refresh)) {
        widget.setObjectName(toQt(control.Name()));
        QPointer<Binding> self(this);
        control.Changed.connect([self] {
            if (self && self->attached())
                self->refreshAll();
        });
        // Every focus the program gives reaches the widget, so that typing
        // goes where the program put it; an inactive window gives it the
        // focus when it becomes active.
        control.GotFocus.connect([self] {
            if (self && self->attached() && !self->m_widget->hasFocus())
                self->m_widget->setFocus(Qt::OtherFocusReason);
        });
        refreshAll();
    }

    bool attached() const { return m_window && m_window->form(); }
    Control& control() const { return m_control; }

    void refreshAll() {
        Control& c = m_control;
        // Inside the view of its container, at its place there.
        if (QWidget* parent = viewParentOf(c, *m_window);
            parent && parent != m_widget->parentWidget()) {
            m_widget->setParent(parent);
            m_stacked = false;
        }
        if (!m_stacked && m_widget->property(kWindowless).toBool())
            stackBeneathWindowedSiblings(*m_widget);
        m_stacked = true;
        m_widget->setGeometry(toPixelsX(c.Left()), toPixelsY(c.Top()), toPixelsX(c.Width()),
                              toPixelsY(c.Height()));
        m_widget->setFont(viewFont(c.Font(), m_widget->font()));
        m_widget->setEnabled(c.Enabled());
        m_widget->setVisible(c.Visible());
        if (m_refresh)
            m_refresh();
    }

    // Clicks on widgets that have no clicked signal of their own.
    bool m_clickOnRelease = false;
    // Takes every press itself, MouseDown included, instead of the widget
    // (list boxes: the pressed line is selected before MouseDown). The flag
    // is false for the second press of a double click, which raises none.
    std::function<void(QMouseEvent&, bool mouseDown)> m_press;
    // Handles a key after KeyDown; true when it consumed the key.
    std::function<bool(QKeyEvent&)> m_key;
    // Stacked in its parent as its kind is, since it was put there.
    bool m_stacked = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!attached())
            return false;
        Control* c = &m_control;
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto& me = static_cast<QMouseEvent&>(*event);
            if (m_press) {
                m_press(me, true);
            } else {
                int button = mouseButton(me);
                QPointF p = me.position();
                int shift = shiftFromQt(me.modifiers());
                userAction([=] {
                    UserInput::mouseDown(*c, button, shift, toTwipsX(int(p.x())),
                                         toTwipsY(int(p.y())));
                });
            }
            // The press may have started a manual drag of some control.
            followDragFrom(me.globalPosition().toPoint());
            return m_press != nullptr;
        }
        case QEvent::MouseButtonRelease: {
            auto& me = static_cast<QMouseEvent&>(*event);
            int button = mouseButton(me);
            QPointF p = me.position();
            int shift = shiftFromQt(me.modifiers());
            userAction([=] {
                UserInput::mouseUp(*c, button, shift, toTwipsX(int(p.x())), toTwipsY(int(p.y())));
            });
            auto* w = static_cast<QWidget*>(watched);
            if (m_clickOnRelease && me.button() == Qt::LeftButton && attached() &&
                w->rect().contains(p.toPoint()))
                userAction([c] { UserInput::click(*c); });
            return m_press != nullptr;
        }
        case QEvent::MouseButtonDblClick: {
            // The second press of a double click: a list line is picked first.
            auto& me = static_cast<QMouseEvent&>(*event);
            if (m_press && me.button() == Qt::LeftButton)
                m_press(me, false);
            if (attached())
                userAction([c] { UserInput::dblClick(*c); });
            return m_press != nullptr;
        }
        case QEvent::FocusIn:
            // Tab, a click or the window's activation moved the focus: the
            // model's active control follows (and hears GotFocus).
            if (watched == m_widget)
                userAction([c] { UserInput::focus(*c); });
            return false;
        case QEvent::KeyPress: {
            auto& ke = static_cast<QKeyEvent&>(*event);
            int code = keyCodeFromQt(ke.key());
            int shift = shiftFromQt(ke.modifiers());
            bool usedUp = false;
            if (code &&
                (!userAction([&] { usedUp = UserInput::keyDown(*c, code, shift); }) || usedUp))
                return true;
            // The character the key gives: a KeyPress handler may swallow it.
            std::string text = fromQt(ke.text());
            if (text.size() == 1 && static_cast<unsigned char>(text[0]) >= 0x20 && attached()) {
                int ascii = static_cast<unsigned char>(text[0]);
                if (!userAction([&] { ascii = UserInput::keyPress(*c, ascii); }) || ascii == 0)
                    return true;
            }
            return attached() && m_key && m_key(ke);
        }
        case QEvent::KeyRelease: {
            auto& ke = static_cast<QKeyEvent&>(*event);
            int code = keyCodeFromQt(ke.key());
            int shift = shiftFromQt(ke.modifiers());
            if (code && !ke.isAutoRepeat())
                userAction([=] { UserInput::keyUp(*c, code, shift); });
            return false;
        }
        default: return false;
        }
    }

private:
    static int mouseButton(const QMouseEvent& me) {
        return me.button() == Qt::RightButton ? vbRightButton : vbLeftButton;
    }

    Control& m_control;
    QWidget* m_widget;
    QPointer<FormWindow> m_window;
    std::function<void()> m_refresh;
};

// A manual drag the model started from a press: while the button is held the
// dragged control's outline follows the pointer, the control under it hears
// DragOver, and the release drops on it (or ends the drag over nothing).
class DragTracker : public QObject {
public:
    static void startIfDragging(const QPoint& global) {
        Control* source = UserInput::dragSource();
        if (!source || instance().m_source)
            return;
        DragTracker& t = instance();
        t.m_source = source;
        t.m_outline.resize(toPixelsX(source->Width()), toPixelsY(source->Height()));
        t.m_outline.move(global - QPoint(0, t.m_outline.height() / 2));
        t.m_outline.show();
        qApp->installEventFilter(&t);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonRelease)
            return false;
        if (!m_source || UserInput::dragSource() != m_source) {
            stop();
            return false;
        }
        auto& me = static_cast<QMouseEvent&>(*event);
        QPoint global = me.globalPosition().toPoint();
        m_outline.move(global - QPoint(0, m_outline.height() / 2));
        Control* source = m_source;
        QPoint local;
        Control* target = controlAt(global, local);
        float x = toTwipsX(local.x()), y = toTwipsY(local.y());
        if (event->type() == QEvent::MouseMove) {
            if (target)
                userAction([=] { UserInput::dragOver(*target, x, y); });
            return true;
        }
        stop();
        if (target)
            userAction([=] { UserInput::drop(*target, x, y); });
        else
            userAction([=] { UserInput::endDrag(*source, false); });
        return true;
    }

private:
    DragTracker() : m_outline(QRubberBand::Rectangle) {}
    static DragTracker& instance() {
        static DragTracker* t = new DragTracker(); // lives as long as the view
        return *t;
    }
    void stop() {
        m_source = nullptr;
        m_outline.hide();
        qApp->removeEventFilter(this);
    }
    // The model's control shown by the widget under the pointer, if any.
    // Only the program's own windows are searched, never the outline.
    Control* controlAt(const QPoint& global, QPoint& local) const {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top == &m_outline || !top->isVisible() || !top->geometry().contains(global))
                continue;
            QWidget* w = top->childAt(top->mapFromGlobal(global));
            for (; w; w = w->parentWidget()) {
                // Bindings carry no meta-object of their own: look by type.
                for (QObject* child : w->children()) {
                    auto* b = dynamic_cast<Binding*>(child);
                    if (b && b->attached()) {
                        local = w->mapFromGlobal(global);
                        return &b->control();
                    }
                }
            }
        }
        return nullptr;
    }

    Control* m_source = nullptr;
    QRubberBand m_outline;
};

void followDragFrom(const QPoint& global) {
    DragTracker::startIfDragging(global);
}

Binding& bindView(Control& control, QWidget& widget, FormWindow& window,
                  std::function<void()> refresh, QWidget* input = nullptr) {
    auto* binding = new Binding(control, widget, window, std::move(refresh));
    (input ? input : &widget)->installEventFilter(binding);
    return *binding;
}

bool locked(const TextBox& box) {
    return box.Locked();
}
bool locked(const ComboBox&) {
    return false;
}

// Takes the caret and selection of the edit into the text box (or combo
// box), as the place the next typing replaces.
template <class Box> void takeSelection(Box& box, const QLineEdit& edit) {
    // Read both first: each setter refreshes the edit from the model.
    bool selected = edit.hasSelectedText();
    int start = selected ? edit.selectionStart() : edit.cursorPosition();
    int length = selected ? static_cast<int>(edit.selectedText().size()) : 0;
    box.setSelStart(start);
    box.setSelLength(length);
}

// A key typed into a text box or a combo box's edit part: the model makes
// the edit, through the same entry point as a scripted user.
template <class Box> bool typeInto(Box& box, QLineEdit& edit, const QKeyEvent& ke) {
    if (locked(box))
        return false;
    bool back = ke.key() == Qt::Key_Backspace, del = ke.key() == Qt::Key_Delete;
    QString text = ke.text();
    bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                     !(ke.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!back && !del && !printable)
        return false;
    Box* b = &box;
    userAction([&] {
        takeSelection(*b, edit);
        if (back || del) {
            if (b->SelLength() == 0) {
                int at = b->SelStart();
                int len = static_cast<int>(b->Text().size());
                if ((back && at == 0) || (del && at >= len))
                    return;
                if (back)
                    b->setSelStart(at - 1);
                b->setSelLength(1);
            }
            UserInput::typeText(*b, {});
        } else {
            UserInput::typeText(*b, fromQt(text));
        }
    });
    return true;
}

// Paste, cut and undo in the edit: the whole new text replaces the old.
template <class Box> void editedWhole(Box& box, const QString& now) {
    if (fromQt(now) == box.Text())
        return;
    Box* b = &box;
    userAction([&] {
        b->setSelStart(0);
        b->setSelLength(static_cast<int>(b->Text().size()));
        UserInput::typeText(*b, fromQt(now));
    });
}

template <class Box> void showSelection(const Box& box, QLineEdit& edit) {
    if (box.SelLength() > 0)
        edit.setSelection(box.SelStart(), box.SelLength());
    else
        edit.setCursorPosition(box.SelStart());
}

QWidget* textBoxView(TextBox& box, FormWindow& window) {
    auto* edit = new QLineEdit(window.client());
    TextBox* b = &box;
    Binding& binding = bindView(box, *edit, window, [b, edit] {
        QString text = toQt(b->Text());
        if (edit->text() != text)
            edit->setText(text);
        edit->setReadOnly(b->Locked());
        edit->setMaxLength(b->MaxLength() > 0 ? b->MaxLength() : 32767);
        showSelection(*b, *edit);
    });
    binding.m_key = [b, edit](QKeyEvent& ke) { return typeInto(*b, *edit, ke); };
    QObject::connect(edit, &QLineEdit::textEdited, edit, [b, &binding](const QString& now) {
        if (!binding.attached())
            return;
        editedWhole(*b, now);
        if (binding.attached())
            binding.refreshAll();
    });
    return edit;
}

void fillList(QListWidget& list, const std::function<std::string(int)>& item, int count) {
    bool same = list.count() == count;
    for (int i = 0; same && i < count; ++i)
        same = list.item(i)->text() == toQt(item(i));
    if (same)
        return;
    list.clear();
    for (int i = 0; i < count; ++i)
        list.addItem(toQt(item(i)));
}

// A list given a horizontal extent (pixels) scrolls sideways over exactly
// that width, whatever its lines hold; without one it scrolls as Qt likes.
void showHorizontalExtent(QListWidget& list, int extent) {
    list.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QSize line(extent, list.fontMetrics().height() + 2);
    for (int i = 0; i < list.count(); ++i)
        list.item(i)->setSizeHint(extent > 0 ? line : QSize());
}

QWidget* listBoxView(ListBox& box, FormWindow& window) {
    auto* list = new QListWidget(window.client());
    list->setSelectionMode(box.MultiSelect() == vbMultiSelectNone
                               ? QAbstractItemView::SingleSelection
                               : QAbstractItemView::MultiSelection);
    ListBox* b = &box;
    Binding& binding = bindView(
        box, *list, window,
        [b, list] {
            QSignalBlocker block(list);
            fillList(
                *list, [b](int i) { return b->List(i); }, b->ListCount());
            for (int i = 0; i < b->ListCount(); ++i)
                list->item(i)->setSelected(
                    b->MultiSelect() == vbMultiSelectNone ? i == b->ListIndex() : b->Selected(i));
            showHorizontalExtent(*list, b->HorizontalExtent());
            list->selectionModel()->setCurrentIndex(list->model()->index(b->ListIndex(), 0),
                                                    QItemSelectionModel::NoUpdate);
        },
        list->viewport());
    list->installEventFilter(&binding);
    binding.m_press = [b, list](QMouseEvent& me, bool mouseDown) {
        list->setFocus(Qt::MouseFocusReason);
        QPoint at = me.position().toPoint();
        int row = list->indexAt(at).row();
        int shift = shiftFromQt(me.modifiers());
        int button = me.button() == Qt::RightButton ? vbRightButton : vbLeftButton;
        // In the list's client area, inside its border, as a list box reports.
        float x = toTwipsX(at.x()), y = toTwipsY(at.y());
        if (mouseDown)
            userAction([=] { UserInput::pressItem(*b, row, button, shift, x, y); });
        else if (row >= 0)
            userAction([=] { UserInput::selectItem(*b, row, shift); });
    };
    binding.m_key = [b](QKeyEvent& ke) {
        int step = ke.key() == Qt::Key_Down ? 1 : ke.key() == Qt::Key_Up ? -1 : 0;
        int row = b->ListIndex() + step;
        if (!step || row < 0 || row >= b->ListCount())
            return false;
        int shift = shiftFromQt(ke.modifiers());
        userAction([=] { UserInput::selectItem(*b, row, shift); });
        return true;
    };
    return list;
}

QWidget* comboBoxView(ComboBox& box, FormWindow& window) {
    auto* combo = new QComboBox(window.client());
    combo->setEditable(box.Style() != vbComboDropdownList);
    // The model holds the lines: Enter must not add one to the view only.
    combo->setInsertPolicy(QComboBox::NoInsert);
    ComboBox* b = &box;
    Binding& binding = bindView(box, *combo, window, [b, combo] {
        QSignalBlocker block(combo);
        bool same = combo->count() == b->ListCount();
        for (int i = 0; same && i < b->ListCount(); ++i)
            same = combo->itemText(i) == toQt(b->List(i));
        if (!same) {
            combo->clear();
            for (int i = 0; i < b->ListCount(); ++i)
                combo->addItem(toQt(b->List(i)));
        }
        combo->setCurrentIndex(b->ListIndex());
        if (QLineEdit* edit = combo->lineEdit()) {
            if (edit->text() != toQt(b->Text()))
                edit->setText(toQt(b->Text()));
            showSelection(*b, *edit);
        }
    });
    QObject::connect(combo, &QComboBox::activated, combo, [b, &binding](int index) {
        if (binding.attached())
            userAction([=] { UserInput::selectItem(*b, index); });
        if (binding.attached())
            binding.refreshAll();
    });
    if (QLineEdit* edit = combo->lineEdit()) {
        edit->installEventFilter(&binding);
        binding.m_key = [b, edit](QKeyEvent& ke) { return typeInto(*b, *edit, ke); };
        QObject::connect(edit, &QLineEdit::textEdited, combo, [b, &binding](const QString& now) {
            if (!binding.attached())
                return;
            editedWhole(*b, now);
            if (binding.attached())
                binding.refreshAll();
        });
    }
    return combo;
}

// A label one line high shows its caption on that line: where the face is
// wider than the design's, the label grows sideways, away from its
// alignment, as a label that sizes itself would. Taller labels wrap.
void growToOneLine(QLabel& label, int alignment) {
    QFontMetrics metrics(label.font());
    bool oneLine = label.height() < 2 * metrics.height();
    label.setWordWrap(!oneLine);
    if (!oneLine)
        return;
    int need = metrics.horizontalAdvance(label.text()) + 2 * label.margin() + 2;
    int more = need - label.width();
    if (more <= 0)
        return;
    int left = label.x() - (alignment == vbRightJustify ? more
                            : alignment == vbCenter     ? more / 2
                                                        : 0);
    label.setGeometry(left, label.y(), need, label.height());
}

// The picture in the box's top-left corner, as large as the box's
// shorter side.
QWidget* pictureBoxView(PictureBox& box, FormWindow& window) {
    auto* w = new QLabel(window.client());
    w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PictureBox* b = &box;
    bindView(box, *w, window, [b, w] {
        QIcon picture = stockPicture(b->Picture());
        int side = std::min(w->width(), w->height());
        w->setPixmap(picture.isNull() || side <= 0 ? QPixmap() : picture.pixmap(side, side));
    }).m_clickOnRelease = true;
    return w;
}

QWidget* statusBarView(StatusBar& bar, FormWindow& window) {
    auto* frame = new QFrame(window.client());
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(2, 1, 2, 1);
    StatusBar* b = &bar;
    bindView(bar, *frame, window, [b, frame, layout] {
        QList<QLabel*> panels = frame->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        int wanted = b->Style() == sbrSimple ? 1 : b->PanelCount();
        if (panels.size() != wanted) {
            for (QLabel* panel : panels)
                delete panel;
            panels.clear();
            for (int i = 0; i < wanted; ++i) {
                auto* panel = new QLabel(frame);
                panel->setFrameShape(QFrame::Panel);
                panel->setFrameShadow(QFrame::Sunken);
                panel->setObjectName(QStringLiteral("panel%1").arg(i + 1));
                // Sized by the bar, not by its text, so no text takes all.
                panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
                layout->addWidget(panel, 1);
                panels.append(panel);
            }
        }
        // Each panel's share of the bar follows what it has to show, so texts
        // that fit the bar together all read. When they do not, the first
        // panels (the phrase heard) keep their width, up to half the bar
        // each, and the last one shortens its text in the middle.
        QMargins margins = layout->contentsMargins();
        int room = toPixelsX(b->Width()) - margins.left() - margins.right() -
                   layout->spacing() * (wanted - 1);
        std::vector<QString> texts;
        std::vector<int> need, frames;
        int total = 0;
        for (int i = 0; i < wanted; ++i) {
            texts.push_back(toQt(b->Style() == sbrSimple ? b->SimpleText() : b->PanelText(i + 1)));
            frames.push_back(2 * panels[i]->frameWidth() + 2 * panels[i]->margin() + 4);
            // Two pixels more: eliding measures a shade wider than advancing.
            need.push_back(panels[i]->fontMetrics().horizontalAdvance(texts[i]) + frames[i] + 2);
            total += need[i];
        }
        std::vector<int> share = need;
        if (total > room) {
            int left = room;
            for (int i = 0; i + 1 < wanted; ++i) {
                share[i] = std::min(need[i], room / 2);
                left -= share[i];
            }
            share[wanted - 1] = std::max(left, 0);
        }
        for (int i = 0; i < wanted; ++i) {
            QString shown = panels[i]->fontMetrics().elidedText(texts[i], Qt::ElideMiddle,
                                                                std::max(share[i] - frames[i], 0));
            panels[i]->setText(shown);
            panels[i]->setToolTip(texts[i]);
            layout->setStretch(i, std::max(share[i], 1));
        }
    });
    return frame;
}

// A button's picture: the one of its image in the bar's image list.
QIcon pictureOf(const Toolbar& bar, const ToolbarButton& button) {
    if (!bar.imageList() || button.Image.empty())
        return {};
    try {
        return stockPicture(bar.imageList()->ListImages(button.Image).Picture);
    } catch (const RuntimeError&) {
        return {};
    }
}

QWidget* toolbarView(Toolbar& bar, FormWindow& window) {
    auto* tools = new QToolBar(window.client());
    Toolbar* b = &bar;
    Binding& binding = bindView(bar, *tools, window, [b, tools] {
        if (tools->actions().size() != b->ButtonCount()) {
            tools->clear();
            for (int i = 1; i <= b->ButtonCount(); ++i)
                tools->addAction(QString());
        }
        for (int i = 1; i <= b->ButtonCount(); ++i) {
            ToolbarButton& button = b->Buttons(i);
            QAction* action = tools->actions().at(i - 1);
            action->setText(toQt(button.Caption));
            action->setToolTip(
                toQt(button.ToolTipText.empty() ? button.Caption : button.ToolTipText));
            action->setStatusTip(toQt(button.Description));
            action->setIcon(pictureOf(*b, button));
            action->setData(toQt(button.Key));
            action->setVisible(button.Visible);
            action->setCheckable(true);
            action->setChecked(button.Value == tbrPressed);
        }
    });
    QObject::connect(tools, &QToolBar::actionTriggered, tools, [b, &binding](QAction* action) {
        std::string key = fromQt(action->data().toString());
        if (binding.attached())
            userAction([=] { UserInput::clickButton(*b, key); });
        if (binding.attached())
            binding.refreshAll();
    });
    return tools;
}

} // namespace

QWidget* createControlView(Control& control, FormWindow& window) {
    QWidget* parent = window.client();
    Control* c = &control;
    if (auto* site = dynamic_cast<ControlSite*>(c))
        return userControlView(*site, window);
    if (auto* label = dynamic_cast<Label*>(c)) {
        auto* w = new QLabel(parent);
        w->setProperty(kWindowless, true);
        bindView(*label, *w, window, [label, w] {
            w->setText(toQt(label->Caption()));
            int align = label->Alignment() == vbRightJustify ? Qt::AlignRight
                        : label->Alignment() == vbCenter     ? Qt::AlignHCenter
                                                             : Qt::AlignLeft;
            w->setAlignment(Qt::Alignment(align) | Qt::AlignTop);
            growToOneLine(*w, label->Alignment());
        }).m_clickOnRelease = true;
        return w;
    }
    if (auto* button = dynamic_cast<CommandButton*>(c)) {
        auto* w = new QPushButton(parent);
        Binding& binding = bindView(*button, *w, window, [button, w] {
            w->setText(toQt(button->Caption()));
            w->setDefault(button->Default());
            w->setToolTip(toQt(button->ToolTipText()));
            w->setIcon(stockPicture(button->Picture()));
            // A picture alone fills the button, inside its frame.
            int side = std::min(w->width(), w->height()) - 10;
            if (button->Caption().empty() && side > 0)
                w->setIconSize(QSize(side, side));
        });
        QObject::connect(w, &QPushButton::clicked, w, [button, &binding] {
            if (binding.attached())
                userAction([button] { UserInput::click(*button); });
        });
        return w;
    }
    if (auto* check = dynamic_cast<CheckBox*>(c)) {
        auto* w = new ModelCheckBox(parent);
        w->setTristate(true);
        Binding& binding = bindView(*check, *w, window, [check, w] {
            w->setText(toQt(check->Caption()));
            w->setCheckState(check->Value() == vbChecked  ? Qt::Checked
                             : check->Value() == vbGrayed ? Qt::PartiallyChecked
                                                          : Qt::Unchecked);
        });
        QObject::connect(w, &QCheckBox::clicked, w, [check, &binding] {
            if (binding.attached())
                userAction([check] { UserInput::click(*check); });
            if (binding.attached())
                binding.refreshAll();
        });
        return w;
    }
    if (auto* box = dynamic_cast<TextBox*>(c))
        return textBoxView(*box, window);
    if (auto* list = dynamic_cast<ListBox*>(c))
        return listBoxView(*list, window);
    if (auto* combo = dynamic_cast<ComboBox*>(c))
        return comboBoxView(*combo, window);
    if (auto* bar = dynamic_cast<ProgressBar*>(c)) {
        auto* w = new QProgressBar(parent);
        w->setRange(0, 1000);
        w->setTextVisible(false);
        bindView(*bar, *w, window, [bar, w] {
            float span = bar->Max() - bar->Min();
            w->setValue(span > 0 ? static_cast<int>((bar->Value() - bar->Min()) / span * 1000) : 0);
        }).m_clickOnRelease = true;
        return w;
    }
    if (auto* slider = dynamic_cast<Slider*>(c)) {
        auto* w = new QSlider(Qt::Horizontal, parent);
        Binding& binding = bindView(*slider, *w, window, [slider, w] {
            QSignalBlocker block(w);
            w->setRange(slider->Min(), slider->Max());
            w->setSingleStep(slider->SmallChange());
            w->setPageStep(slider->LargeChange());
            w->setTickPosition(slider->TickFrequency() > 0 ? QSlider::TicksBelow
                                                           : QSlider::NoTicks);
            w->setTickInterval(slider->TickFrequency());
            w->setValue(slider->Value());
        });
        QObject::connect(w, &QSlider::valueChanged, w, [slider, &binding](int value) {
            if (binding.attached() && value != slider->Value())
                userAction([=] { UserInput::slide(*slider, value); });
            if (binding.attached())
                binding.refreshAll();
        });
        return w;
    }
    if (auto* picture = dynamic_cast<PictureBox*>(c))
        return pictureBoxView(*picture, window);
    if (auto* bar = dynamic_cast<StatusBar*>(c))
        return statusBarView(*bar, window);
    if (auto* tools = dynamic_cast<Toolbar*>(c))
        return toolbarView(*tools, window);
    return nullptr;
}

} // namespace rt::qt
