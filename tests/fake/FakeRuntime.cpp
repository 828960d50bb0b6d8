#include "tests/fake/FakeRuntime.h"

#include <stdexcept>

namespace vantorel::test {

namespace {
const char* propName(Prop p)
{
    switch (p) {
    case Prop::Text: return "text";
    case Prop::Caption: return "caption";
    case Prop::Visible: return "visible";
    case Prop::Enabled: return "enabled";
    case Prop::Left: return "left";
    case Prop::Top: return "top";
    case Prop::Width: return "width";
    case Prop::Height: return "height";
    case Prop::TextColour: return "textColour";
    case Prop::BackColour: return "backColour";
    case Prop::Period: return "period";
    case Prop::Selection: return "selection";
    case Prop::Checked: return "checked";
    case Prop::Colour: return "colour";
    case Prop::AlwaysOnTop: return "alwaysOnTop";
    case Prop::Position: return "position";
    }
    return "?";
}
} // namespace

void FakePlatform::SetCursorPos(int x, int y) { log.push_back("move " + std::to_string(x) + " " + std::to_string(y)); }

void FakePlatform::mouse_event(std::uint32_t flags, std::int32_t, std::int32_t, std::uint32_t, std::uintptr_t)
{
    switch (flags) {
    case MOUSEEVENTF_LEFTDOWN: log.push_back("LD"); break;
    case MOUSEEVENTF_LEFTUP: log.push_back("LU"); break;
    case MOUSEEVENTF_RIGHTDOWN: log.push_back("RD"); break;
    case MOUSEEVENTF_RIGHTUP: log.push_back("RU"); break;
    default: log.push_back("flags " + std::to_string(flags));
    }
}

std::int32_t FakePlatform::SetWindowLongA(WindowHandle w, int, std::int32_t v)
{
    log.push_back("SetWindowLongA " + std::to_string(v));
    const auto old = exStyle[w];
    exStyle[w] = v;
    return old;
}

bool FakePlatform::SetLayeredWindowAttributes(WindowHandle w, std::uint32_t key, std::uint8_t, std::uint32_t flags)
{
    log.push_back("SetLayeredWindowAttributes");
    layered.emplace_back(w, key, flags);
    return true;
}

bool FakePlatform::SetPropA(WindowHandle w, const std::string& n, std::uintptr_t v)
{
    log.push_back("SetPropA " + n + " " + std::to_string(v));
    props[{w, n}] = v;
    return true;
}

std::uintptr_t FakePlatform::RemovePropA(WindowHandle w, const std::string& n)
{
    const auto v = props[{w, n}];
    props.erase({w, n});
    return v;
}

namespace {
class FakeMouse : public MouseButtonSource {
public:
    explicit FakeMouse(FakePlatform& p) : m_p(p) {}
    bool sample(std::array<bool, 3>& down, std::array<bool, 3>& released) override
    {
        down = m_p.buttonsDown;
        released = {};
        return true;
    }

private:
    FakePlatform& m_p;
};
} // namespace

std::unique_ptr<MouseButtonSource> FakePlatform::openMouse() { return std::make_unique<FakeMouse>(*this); }

std::vector<std::string> FakePlatform::clicks() const
{
    std::vector<std::string> out;
    for (const auto& e : log)
        if (e.rfind("move", 0) == 0 || e.size() == 2)
            out.push_back(e);
    return out;
}

Value FakeRuntime::readProperty(const std::string& w, const std::string& c, Prop p)
{
    if (!isLoaded(w))
        throw std::logic_error("read of a window that is not loaded: " + w + "/" + c);
    auto it = m_props.find({w, c, storedProp(p)});
    if (it != m_props.end())
        return it->second;
    if (p == Prop::Text || p == Prop::Caption)
        return Value("");
    return Value(std::int32_t{0});
}

void FakeRuntime::writeProperty(const std::string& w, const std::string& c, Prop p, const Value& v)
{
    if (!isLoaded(w))
        throw std::logic_error("write to a window that is not loaded: " + w + "/" + c);
    writes.push_back(w + "/" + c + "." + propName(p) + "=" + (v.isText() ? v.toText() : std::to_string(v.toInt())));
    m_props[{w, c, storedProp(p)}] = v;
}

std::vector<std::string> FakeRuntime::writesTo(const std::string& control) const
{
    std::vector<std::string> out;
    for (const auto& w : writes) {
        const auto slash = w.find('/');
        const auto dot = w.find('.', slash);
        if (w.substr(slash + 1, dot - slash - 1) == control)
            out.push_back(w.substr(dot + 1));
    }
    return out;
}

bool FakeRuntime::loadWindow(const WindowDef& def, std::vector<Binding> b, bool)
{
    if (isLoaded(def.name))
        return true;
    m_loaded[def.name] = true;
    for (const auto& c : def.controls) {
        const auto& n = c.name;
        switch (c.kind) {
        case Kind::EditBox:
        case Kind::Label:
        case Kind::TransparentLabel:
        case Kind::Button:
        case Kind::CheckBox: m_props[{def.name, n, Prop::Text}] = Value(c.content); break;
        case Kind::ComboBox: m_props[{def.name, n, Prop::Selection}] = Value(std::int32_t{c.selected}); break;
        case Kind::Timer: m_props[{def.name, n, Prop::Period}] = Value(std::int32_t{c.period}); break;
        case Kind::ColourPicker: m_props[{def.name, n, Prop::Colour}] = Value(c.colour); break;
        default: break;
        }
        if (c.kind == Kind::CheckBox)
            m_props[{def.name, n, Prop::Checked}] = Value((c.flags & flag::Checked) != 0);
        m_props[{def.name, n, Prop::Visible}] = Value((c.flags & flag::Hidden) == 0);
    }
    bindings[def.name] = std::move(b);
    fire(def.name, "", Event{EventKind::Created});
    return true;
}

NativeHandle FakeRuntime::nativeHandle(const std::string& w, const std::string&)
{
    return static_cast<NativeHandle>(std::hash<std::string>{}(w) & 0xFFFFFF);
}

int FakeRuntime::messageBox(const std::string& text, unsigned, const std::string& title, NativeHandle)
{
    messageBoxes.push_back(title + "|" + text);
    carryOutDestroys(); // the box's own loop carries out queued requests
    return 1;
}

void FakeRuntime::processPendingEvents()
{
    ++dispatchCount;
    carryOutDestroys();
    if (onDispatch)
        onDispatch();
}

void FakeRuntime::waitForEvents(std::int64_t timeoutUs)
{
    m_platform.now += timeoutUs;
    processPendingEvents();
}

void FakeRuntime::selectInputDevices(const std::string& w, const std::string& c, bool m, bool k, bool g)
{
    writes.push_back(w + "/" + c + ".select=" + std::to_string(m) + std::to_string(k) + std::to_string(g));
}

void FakeRuntime::setInputSamplingPeriod(const std::string& w, const std::string& c, int ms)
{
    writes.push_back(w + "/" + c + ".sampling=" + std::to_string(ms));
}

void FakeRuntime::startInputDevice(const std::string& w, const std::string& c, NativeHandle h)
{
    writes.push_back(w + "/" + c + ".start=" + std::to_string(h));
}

void FakeRuntime::escapeFromAnywhere(const std::string& w, bool on)
{
    writes.push_back(w + "/.escapeFromAnywhere=" + (on ? "1" : "0"));
}

void FakeRuntime::fire(const std::string& window, const std::string& control, Event event)
{
    if (!isLoaded(window))
        return;
    auto bs = bindings[window]; // a handler may replace the bindings by loading a window
    for (const auto& b : bs)
        if (b.control == control && b.event == event.kind)
            b.handler(event);
}

void FakeRuntime::carryOutDestroys()
{
    auto pending = std::move(m_pendingDestroy);
    m_pendingDestroy.clear();
    for (const auto& w : pending) {
        if (!isLoaded(w))
            continue;
        fire(w, "", Event{EventKind::WillBeDestroyed});
        m_loaded.erase(w);
    }
}

} // namespace vantorel::test
