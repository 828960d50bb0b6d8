// Reading and writing the properties of windows and controls.

#include "runtime/qt/RuntimeState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace vantorel::qt {

Value QtRuntime::readProperty(const std::string& window, const std::string& control, Prop prop)
{
    auto win = require(window);
    if (control.empty()) {
        switch (prop) {
        case Prop::AlwaysOnTop: return Value(win->topMost);
        case Prop::Position: return Value(std::int32_t{win->position});
        case Prop::Enabled: return Value(win->widget->isEnabled());
        case Prop::Visible: return Value(win->widget->isVisible());
        default: fatal("不支持的窗口属性");
        }
    }
    Control& ctl = requireControl(*win, control);
    if (ctl.timer) {
        if (prop == Prop::Period)
            return Value(std::int32_t{ctl.timer->period()});
        fatal("不支持的时钟属性: " + control);
    }
    QWidget* w = requireWidget(ctl, control);
    switch (prop) {
    case Prop::Text:
    case Prop::Caption:
        if (auto* e = qobject_cast<QLineEdit*>(w))
            return Value(s(e->text()));
        if (auto* e = qobject_cast<QPlainTextEdit*>(w))
            return Value(s(e->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"))));
        if (auto* l = qobject_cast<QLabel*>(w))
            return Value(s(l->text().replace(QStringLiteral("\n"), QStringLiteral("\r\n"))));
        if (auto* b = qobject_cast<QPushButton*>(w); b && ctl.kind == Kind::Button)
            return Value(s(b->property("caption").toString()));
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            return Value(s(b->text()));
        break;
    case Prop::Selection:
        if (auto* c = qobject_cast<QComboBox*>(w))
            return Value(std::int32_t{c->currentIndex()});
        break;
    case Prop::Checked:
        if (auto* b = qobject_cast<QCheckBox*>(w))
            return Value(b->isChecked());
        break;
    case Prop::Colour:
        if (auto* p = dynamic_cast<ColourPicker*>(w))
            return Value(p->colour());
        break;
    case Prop::Visible: return Value(w->isVisible() || (!w->isHidden() && !win->widget->isVisible()));
    case Prop::Enabled: return Value(w->isEnabled());
    case Prop::Left: return Value(std::int32_t{w->x()});
    case Prop::Top: return Value(std::int32_t{w->y()});
    case Prop::Width: return Value(std::int32_t{w->width()});
    case Prop::Height: return Value(std::int32_t{w->height()});
    case Prop::TextColour:
        return Value(fromQColor(w->palette().color(qobject_cast<QLabel*>(w) ? QPalette::WindowText : QPalette::Text)));
    default: break;
    }
    fatal("不支持的属性: " + control);
}

void QtRuntime::writeProperty(const std::string& window, const std::string& control, Prop prop, const Value& value)
{
    auto win = require(window);
    if (control.empty())
        return writeWindowProperty(*win, prop, value);
    Control& ctl = requireControl(*win, control);
    if (ctl.timer) {
        if (prop != Prop::Period)
            fatal("不支持的时钟属性: " + control);
        ctl.timer->setPeriod(value.toInt());
        return;
    }
    QWidget* w = requireWidget(ctl, control);
    switch (prop) {
    case Prop::Text:
    case Prop::Caption:
        // Writing the text a control already shows changes nothing (the run
        // writes its status on every click; the readout stands still with the pointer).
        if (readProperty(window, control, prop).toText() == value.toText())
            return;
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setText(q(value.toText()));
            e->setCursorPosition(0);
        } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
            e->setPlainText(toDisplay(value.toText()));
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(toDisplay(value.toText()));
            if (auto* glyphs = dynamic_cast<GlyphLabel*>(l))
                glyphs->contentChanged();
        } else if (auto* b = qobject_cast<QPushButton*>(w); b && ctl.kind == Kind::Button) {
            setButtonCaption(b, value.toText());
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText(q(value.toText()));
        } else {
            fatal("不支持的属性: " + control);
        }
        break;
    case Prop::Visible: w->setVisible(value.toBool()); break;
    case Prop::Enabled: w->setEnabled(value.toBool()); break;
    case Prop::Left:
    case Prop::Top:
    case Prop::Width:
    case Prop::Height: {
        const int v = value.toInt();
        QRect r = w->geometry();
        if (prop == Prop::Left) r.moveLeft(clampCoord(v));
        if (prop == Prop::Top) r.moveTop(clampCoord(v));
        if (prop == Prop::Width) r.setWidth(clampSize(v));
        if (prop == Prop::Height) r.setHeight(clampSize(v));
        if (r == w->geometry())
            return; // nothing moves, nothing to repaint
        const bool resized = r.size() != w->size();
        w->setGeometry(r);
        if (win->colourKeyed) {
            if (resized)
                win->regionCache.erase(w);
            scheduleMaskUpdate(*win);
        }
        return;
    }
    case Prop::TextColour:
        setColour(w, qobject_cast<QLabel*>(w) ? QPalette::WindowText : QPalette::Text, value.toColour());
        w->repaint();
        break;
    case Prop::BackColour:
        setColour(w, qobject_cast<QLabel*>(w) ? QPalette::Window : QPalette::Base, value.toColour());
        w->repaint();
        break;
    default: fatal("不支持的属性: " + control);
    }
    if (win->colourKeyed) {
        win->regionCache.erase(w);
        scheduleMaskUpdate(*win);
    }
}

void QtRuntime::writeWindowProperty(Win& win, Prop prop, const Value& value)
{
    switch (prop) {
    case Prop::AlwaysOnTop:
        win.topMost = value.toBool();
        applyTopMost(win);
        break;
    case Prop::Position: writePosition(win, value.toInt()); break;
    case Prop::BackColour:
        win.widget->setAutoFillBackground(true);
        setColour(win.widget.get(), QPalette::Window, value.toColour());
        win.widget->repaint();
        if (win.colourKeyed)
            scheduleMaskUpdate(win);
        break;
    default: fatal("不支持的窗口属性");
    }
}

void QtRuntime::writePosition(Win& win, int position)
{
    win.position = std::clamp(position, 0, 3);
    if (!win.widget->isVisible() && !win.widget->isMinimized())
        return; // only stored until the window is shown
    TopWindow* top = win.widget.get();
    switch (win.position) {
    case 0: top->showNormal(); break;
    case 1: {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect frame = top->frameGeometry();
        top->move((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2);
        break;
    }
    case 2: top->showMinimized(); break;
    case 3: top->showMaximized(); break;
    }
    win.aboveSent = false;
    applyTopMost(win);
}

} // namespace vantorel::qt
