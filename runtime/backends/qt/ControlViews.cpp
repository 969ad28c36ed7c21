#include "runtime/backends/qt/ControlViews.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRubberBand>
#include <QApplication>
#include <QSlider>
#include <QToolBar>
#include <QIcon>
#include <QStyle>
#include <map>
#include <functional>

#include "runtime/backends/qt/FormWindow.h"
#include "runtime/backends/qt/QtKeys.h"
#include "runtime/backends/qt/QtSupport.h"
#include "runtime/forms/CheckBox.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/ProgressBar.h"
#include "runtime/forms/Slider.h"
#include "runtime/forms/StatusBar.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/Toolbar.h"
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

// Follows a manual drag that a press started; defined below.
void followDragFrom(const QPoint& global);

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
        refreshAll();
    }

    bool attached() const { return m_window && m_window->form(); }
    Control& control() const { return m_control; }

    void refreshAll() {
        Control& c = m_control;
        m_widget->setGeometry(toPixelsX(c.Left()), toPixelsY(c.Top()), toPixelsX(c.Width()),
                              toPixelsY(c.Height()));
        QFont font = m_widget->font();
        if (!c.Font().Name().empty())
            font.setFamily(toQt(c.Font().Name()));
        if (c.Font().Size() > 0)
            font.setPointSizeF(c.Font().Size());
        font.setBold(c.Font().Bold());
        m_widget->setFont(font);
        m_widget->setEnabled(c.Enabled());
        m_widget->setVisible(c.Visible());
        if (m_refresh)
            m_refresh();
    }

    // Clicks on widgets that have no clicked signal of their own.
    bool m_clickOnRelease = false;
    // Handles a left press itself instead of the widget (list boxes).
    std::function<bool(QMouseEvent&)> m_press;
    // Handles a key after KeyDown; true when it consumed the key.
    std::function<bool(QKeyEvent&)> m_key;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!attached())
            return false;
        Control* c = &m_control;
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto& me = static_cast<QMouseEvent&>(*event);
            int button = mouseButton(me);
            QPointF p = me.position();
            int shift = shiftFromQt(me.modifiers());
            userAction([=] {
                UserInput::mouseDown(*c, button, shift, toTwipsX(int(p.x())), toTwipsY(int(p.y())));
            });
            bool handled = m_press && me.button() == Qt::LeftButton && m_press(me);
            // The press may have started a manual drag of some control.
            followDragFrom(me.globalPosition().toPoint());
            return handled;
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
            return m_press && me.button() == Qt::LeftButton;
        }
        case QEvent::MouseButtonDblClick: {
            // The second press of a double click: a list line is picked first.
            auto& me = static_cast<QMouseEvent&>(*event);
            if (m_press && me.button() == Qt::LeftButton)
                m_press(me);
            if (attached())
                userAction([c] { UserInput::dblClick(*c); });
            return m_press != nullptr;
        }
        case QEvent::KeyPress: {
            auto& ke = static_cast<QKeyEvent&>(*event);
            int code = keyCodeFromQt(ke.key());
            int shift = shiftFromQt(ke.modifiers());
            if (code && !userAction([=] { UserInput::keyDown(*c, code, shift); }))
                return true;
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
            list->selectionModel()->setCurrentIndex(list->model()->index(b->ListIndex(), 0),
                                                    QItemSelectionModel::NoUpdate);
        },
        list->viewport());
    list->installEventFilter(&binding);
    binding.m_press = [b, list](QMouseEvent& me) {
        list->setFocus(Qt::MouseFocusReason);
        int row = list->indexAt(me.position().toPoint()).row();
        int shift = shiftFromQt(me.modifiers());
        if (row >= 0)
            userAction([=] { UserInput::selectItem(*b, row, shift); });
        return true;
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
                layout->addWidget(panel, 1);
                panels.append(panel);
            }
        }
        if (b->Style() == sbrSimple)
            panels[0]->setText(toQt(b->SimpleText()));
        else
            for (int i = 0; i < wanted; ++i)
                panels[i]->setText(toQt(b->PanelText(i + 1)));
    });
    return frame;
}

// A button's picture: the named icon of the desktop's theme, else a
// picture of the toolkit's own style for the same purpose.
QIcon pictureOf(const Toolbar& bar, const ToolbarButton& button, const QWidget& widget) {
    if (!bar.imageList() || button.Image.empty())
        return {};
    std::string name;
    try {
        name = bar.imageList()->ListImages(button.Image).Picture;
    } catch (const RuntimeError&) {
        return {};
    }
    static const std::map<std::string, QStyle::StandardPixmap> kFallbacks{
        {"go-jump", QStyle::SP_ArrowForward},
        {"system-run", QStyle::SP_MediaPlay},
        {"document-save", QStyle::SP_DialogSaveButton},
        {"edit-delete", QStyle::SP_TrashIcon},
        {"view-refresh", QStyle::SP_BrowserReload},
        {"help-contents", QStyle::SP_DialogHelpButton},
        {"document-new", QStyle::SP_FileIcon},
        {"folder-new", QStyle::SP_FileDialogNewFolder},
    };
    auto fallback = kFallbacks.find(name);
    QIcon standard = widget.style()->standardIcon(
        fallback == kFallbacks.end() ? QStyle::SP_FileIcon : fallback->second);
    return QIcon::fromTheme(toQt(name), standard);
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
            action->setToolTip(toQt(button.ToolTipText.empty() ? button.Caption : button.ToolTipText));
            action->setStatusTip(toQt(button.Description));
            action->setIcon(pictureOf(*b, button, *tools));
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
    if (auto* label = dynamic_cast<Label*>(c)) {
        auto* w = new QLabel(parent);
        w->setWordWrap(true);
        bindView(*label, *w, window, [label, w] {
            w->setText(toQt(label->Caption()));
            int align = label->Alignment() == vbRightJustify ? Qt::AlignRight
                        : label->Alignment() == vbCenter     ? Qt::AlignHCenter
                                                             : Qt::AlignLeft;
            w->setAlignment(Qt::Alignment(align) | Qt::AlignTop);
        }).m_clickOnRelease = true;
        return w;
    }
    if (auto* button = dynamic_cast<CommandButton*>(c)) {
        auto* w = new QPushButton(parent);
        Binding& binding = bindView(*button, *w, window, [button, w] {
            w->setText(toQt(button->Caption()));
            w->setDefault(button->Default());
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
    if (auto* bar = dynamic_cast<StatusBar*>(c))
        return statusBarView(*bar, window);
    if (auto* tools = dynamic_cast<Toolbar*>(c))
        return toolbarView(*tools, window);
    return nullptr;
}

} // namespace rt::qt
