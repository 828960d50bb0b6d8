// Building a window's controls from the rows of its definition.

#include "runtime/qt/RuntimeState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vantorel::qt {

void QtRuntime::buildControls(Win& win)
{
    QWidget* parent = win.widget.get();
    // Qt stacks later children on top: create from the bottom of the list up.
    for (auto it = win.def.controls.rbegin(); it != win.def.controls.rend(); ++it) {
        const ControlDef& c = *it;
        Control ctl{c.kind};
        const std::string name = c.name;
        std::weak_ptr<Win> weak = find(win.def.name);
        auto bind = [this, weak, name](EventKind kind) {
            return [this, weak, name, kind] {
                if (auto w = weak.lock())
                    dispatch(w, name, Event{kind});
            };
        };
        QWidget* w = nullptr;
        switch (c.kind) {
        case Kind::Label:
        case Kind::TransparentLabel:
            if (c.picture != Picture::None) {
                auto* pic = new PictureLabel(pictureImage(c.picture), parent);
                pic->onLeftPressed = bind(EventKind::LeftPressed);
                w = pic;
            } else {
                auto* label = c.kind == Kind::TransparentLabel ? new GlyphLabel(toDisplay(c.content), parent)
                                                               : new QLabel(toDisplay(c.content), parent);
                label->setAlignment(alignmentFor(c));
                label->setWordWrap(c.flags & flag::WordWrap);
                label->setTextFormat(Qt::PlainText);
                if (c.border == Border::Single)
                    label->setFrameStyle(QFrame::Box | QFrame::Plain);
                else if (c.border == Border::ShallowSunken || c.border == Border::Sunken)
                    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                w = label;
            }
            // A transparent label has no background: only its glyphs are drawn.
            w->setAutoFillBackground(c.kind == Kind::Label && c.backColour != kDefaultColour);
            setColour(w, QPalette::WindowText, c.textColour);
            setColour(w, QPalette::Window, c.backColour);
            break;
        case Kind::EditBox:
            if (c.flags & flag::Multiline) {
                auto* edit = new QPlainTextEdit(toDisplay(c.content), parent);
                edit->setFrameStyle(c.border == Border::None ? QFrame::NoFrame : QFrame::StyledPanel);
                edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                edit->setLineWrapMode(QPlainTextEdit::NoWrap);
                edit->document()->setDocumentMargin(0);
                w = edit;
            } else {
                auto* edit = new QLineEdit(q(c.content), parent);
                edit->setAlignment(alignmentFor(c) & Qt::AlignHorizontal_Mask);
                edit->setFrame(c.border != Border::None);
                edit->setCursorPosition(0);
                w = edit;
            }
            if (c.flags & flag::IntegerInput)
                w->installEventFilter(new IntegerInputFilter(w));
            setColour(w, QPalette::Text, c.textColour);
            setColour(w, QPalette::Base, c.backColour);
            break;
        case Kind::ComboBox: {
            auto* combo = new QComboBox(parent);
            for (const auto& item : c.items)
                combo->addItem(q(item));
            combo->setCurrentIndex(c.selected);
            combo->setMaxVisibleItems(static_cast<int>(c.items.size()));
            setColour(combo, QPalette::Text, c.textColour);
            setColour(combo, QPalette::Base, c.backColour);
            w = combo;
            break;
        }
        case Kind::Button: {
            auto* button = new QPushButton(parent);
            QObject::connect(button, &QPushButton::clicked, this, bind(EventKind::Clicked));
            w = button;
            break;
        }
        case Kind::CheckBox: {
            auto* box = new QCheckBox(q(c.content), parent);
            box->setChecked(c.flags & flag::Checked);
            setColour(box, QPalette::WindowText, c.textColour);
            // clicked comes after the box has changed its own state
            QObject::connect(box, &QCheckBox::clicked, this, bind(EventKind::Clicked));
            w = box;
            break;
        }
        case Kind::ColourPicker:
            w = new ColourPicker(c.colour, parent);
            break;
        case Kind::Timer:
            ctl.timer = std::make_unique<RuntimeTimer>(bind(EventKind::Periodic));
            ctl.timer->setPeriod(c.period);
            break;
        case Kind::InputDevice: {
            ctl.device = std::make_unique<Device>();
            Device* dev = ctl.device.get();
            dev->timer.setTimerType(Qt::PreciseTimer);
            QObject::connect(&dev->timer, &QTimer::timeout, this, [this, weak, name, dev] {
                auto w = weak.lock();
                if (!w || !w->alive)
                    return;
                std::array<bool, 3> down{}, released{};
                if (!dev->source || !dev->source->sample(down, released)) {
                    dev->source = m_platform.openMouse(); // read failed: reopen, skip this sample
                    return;
                }
                dev->machine.apply(down, released, [&](std::int32_t key, std::int32_t state) {
                    dispatch(w, name, Event{EventKind::ButtonChanged, key, state});
                    return w->alive;
                });
            });
            break;
        }
        }
        if (w) {
            w->setGeometry(c.left, c.top, c.width, c.height);
            if (c.kind != Kind::Label || c.picture == Picture::None)
                w->setFont(fontFor(c.font));
            w->setFocusPolicy((c.flags & flag::TabStop) ? Qt::StrongFocus : Qt::NoFocus);
            if (c.flags & flag::Disabled)
                w->setEnabled(false);
            if (c.flags & flag::DrawnAsEnabled)
                keepNormalColoursWhenDisabled(w);
            if (auto* button = qobject_cast<QPushButton*>(w); button && c.kind == Kind::Button)
                setButtonCaption(button, c.content);
            if (c.flags & flag::Hidden)
                w->hide();
            w->setObjectName(q(name));
            ctl.widget = w;
        }
        win.controls.emplace(name, std::move(ctl));
    }
}

} // namespace vantorel::qt
