#include "win32/controls.h"

#include "win32/look.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

#include <map>
#include <string>

namespace win32 {

namespace {

constexpr wchar_t kDesignName[] = L"design-name";
constexpr wchar_t kLimit[] = L"character-limit";
constexpr UINT_PTR kOutputBox = 1, kLimitedBox = 2, kNamedList = 3, kCaption = 4, kDrawnBox = 5;

// A surrogate pair counts once; a lone half counts as a character of its own.
int characters(std::wstring_view text)
{
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        count += !(IS_LOW_SURROGATE(text[i]) && i > 0 && IS_HIGH_SURROGATE(text[i - 1]));
    return count;
}

// The first n characters of text, a surrogate pair counted once.
std::wstring_view firstCharacters(std::wstring_view text, int n)
{
    std::size_t end = 0;
    for (int taken = 0; end < text.size() && taken < n; ++taken)
        end += IS_HIGH_SURROGATE(text[end]) && end + 1 < text.size() ? 2 : 1;
    return text.substr(0, end);
}

std::wstring windowText(HWND window)
{
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

// Between a box's frame and its lines of text.
constexpr int kMargin = 2;

// Paints a caption's or a box's text, in its design font and colour, on the
// lines the layouts were drawn for (look::lines), into dc (that of WM_PAINT,
// or one given by WM_PRINTCLIENT).
void paintText(HWND control, HDC dc, const design::Control &plan, bool box)
{
    RECT room;
    GetClientRect(control, &room);
    const std::wstring text = windowText(control);
    const HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look::colour(plan.colour.value_or(design::kBlack)));
    if (box)
        FillRect(dc, &room, brush(plan.background.value_or(design::kWhite)));
    if (!box) {
        look::drawLines(dc, text, room, plan.centred);
    } else if (GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE) {
        // Broken at the box's width less the margins; where a face's wider
        // marks would cost a line that way, the margins go.
        RECT inner = room;
        InflateRect(&inner, -kMargin, -kMargin);
        look::drawLines(dc, text,
                        look::lineCount(dc, text, inner.right - inner.left)
                                == look::lineCount(dc, text, room.right - room.left)
                            ? inner
                            : room,
                        false);
    } else {
        // One line down the middle, across where the box puts its caret.
        RECT format;
        SendMessageW(control, EM_GETRECT, 0, LPARAM(&format));
        room.left = format.left;
        room.right = format.right;
        // As the box places them, which its caret follows.
        constexpr auto placed = look::Advances::AsTheBoxPlacesThem;
        look::drawLines(dc, text, room, false, true, placed);
        DWORD start = 0, end = 0;
        SendMessageW(control, EM_GETSEL, WPARAM(&start), LPARAM(&end));
        if (GetFocus() == control && start < end && end <= text.size()) {
            SIZE before{}, through{};
            GetTextExtentPoint32W(dc, text.c_str(), int(start), &before);
            GetTextExtentPoint32W(dc, text.c_str(), int(end), &through);
            const int saved = SaveDC(dc);
            IntersectClipRect(dc, room.left + before.cx, room.top, room.left + through.cx, room.bottom);
            FillRect(dc, &room, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            look::drawLines(dc, text, room, false, true, placed);
            RestoreDC(dc, saved);
        }
    }
    SelectObject(dc, old);
}

LRESULT painted(HWND control, UINT message, WPARAM w, const design::Control &plan, bool box)
{
    if (message == WM_PRINTCLIENT) {
        paintText(control, HDC(w), plan, box);
        return 0;
    }
    PAINTSTRUCT ps;
    paintText(control, BeginPaint(control, &ps), plan, box);
    EndPaint(control, &ps);
    return 0;
}

// A box that draws its text itself; the box still keeps it, edits it and
// shows the caret.
LRESULT CALLBACK drawnBox(HWND box, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR plan)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(box, drawnBox, kDrawnBox);
    if (message == WM_PAINT || message == WM_PRINTCLIENT)
        return painted(box, message, w, *reinterpret_cast<const design::Control *>(plan), true);
    if (message == WM_ERASEBKGND)
        return 1; // painted whole by WM_PAINT
    const LRESULT result = DefSubclassProc(box, message, w, l);
    // The box scrolls what it drew itself when its text or selection
    // changes: here all of it is drawn again instead.
    switch (message) {
    case WM_MOUSEMOVE: // a selection by the mouse
        if (!(w & MK_LBUTTON))
            break;
        [[fallthrough]];
    case WM_SETTEXT: case WM_CHAR: case WM_IME_CHAR: case WM_PASTE: case WM_CUT: case WM_CLEAR: case WM_UNDO:
    case EM_REPLACESEL: case EM_SETSEL: case WM_KEYDOWN: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
    case WM_SETFOCUS: case WM_KILLFOCUS:
        InvalidateRect(box, nullptr, FALSE);
    }
    return result;
}

// A label that draws its caption itself, over what its parent painted.
LRESULT CALLBACK caption(HWND label, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR plan)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(label, caption, kCaption);
    if (message == WM_PAINT || message == WM_PRINTCLIENT)
        return painted(label, message, w, *reinterpret_cast<const design::Control *>(plan), false);
    if (message == WM_SETTEXT) { // over what the parent paints there again
        const LRESULT result = DefSubclassProc(label, message, w, l);
        RECT r;
        GetWindowRect(label, &r);
        MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT *>(&r), 2);
        RedrawWindow(GetParent(label), &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return result;
    }
    return DefSubclassProc(label, message, w, l);
}

LRESULT CALLBACK outputBox(HWND box, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR)
{
    if (message == WM_SETFOCUS) {
        // Back where it came from; the box only shows.
        if (HWND from = HWND(w); from && IsWindow(from))
            SetFocus(from);
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(box, outputBox, kOutputBox);
    return DefSubclassProc(box, message, w, l);
}

// Whatever changed the text (keys, a paste, an input method's commit), what
// it inserted is cut to the characters left.
LRESULT CALLBACK limitedBox(HWND box, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR limit)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(box, limitedBox, kLimitedBox);
    if (message != WM_CHAR && message != WM_PASTE && message != WM_IME_COMPOSITION && message != WM_IME_CHAR
        && message != EM_REPLACESEL && message != WM_SETTEXT)
        return DefSubclassProc(box, message, w, l);
    const std::wstring before = windowText(box);
    const LRESULT result = DefSubclassProc(box, message, w, l);
    const std::wstring after = windowText(box);
    if (characters(after) <= int(limit))
        return result;
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head
           && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const std::wstring_view kept(before);
    const std::wstring_view inserted = std::wstring_view(after).substr(head, after.size() - head - tail);
    const int room = int(limit) - characters(kept.substr(0, head)) - characters(kept.substr(kept.size() - tail));
    std::wstring fitted(kept.substr(0, head));
    fitted += firstCharacters(inserted, room > 0 ? room : 0);
    const DWORD caret = DWORD(fitted.size());
    fitted += kept.substr(kept.size() - tail);
    DefSubclassProc(box, WM_SETTEXT, 0, LPARAM(fitted.c_str()));
    DefSubclassProc(box, EM_SETSEL, caret, caret);
    return result;
}

struct Typed {
    std::wstring text;
    DWORD at = 0;
};
std::map<HWND, Typed> typed;

// A character typed or committed into the list: the first entry that
// begins with what was typed in the last second is chosen, and the parent
// told as if the user had chosen it from the list.
LRESULT CALLBACK namedList(HWND list, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR)
{
    if (message == WM_NCDESTROY) {
        typed.erase(list);
        RemoveWindowSubclass(list, namedList, kNamedList);
    }
    if (message == WM_SETFOCUS)
        typed.erase(list); // what was typed before does not carry over
    if ((message == WM_CHAR || message == WM_IME_CHAR) && w >= L' ' && !SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0)) {
        Typed &so_far = typed[list];
        const DWORD now = GetTickCount();
        if (now - so_far.at > 1000)
            so_far.text.clear();
        so_far.at = now;
        so_far.text += wchar_t(w);
        if (IS_HIGH_SURROGATE(wchar_t(w)))
            return 0;
        const LRESULT found = SendMessageW(list, CB_FINDSTRING, WPARAM(-1), LPARAM(so_far.text.c_str()));
        if (found != CB_ERR && found != SendMessageW(list, CB_GETCURSEL, 0, 0)) {
            SendMessageW(list, CB_SETCURSEL, WPARAM(found), 0);
            SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), LPARAM(list));
        }
        return 0;
    }
    return DefSubclassProc(list, message, w, l);
}

} // namespace

void registerWindowClass(const wchar_t *name, WNDPROC procedure, const wchar_t *cursor, HICON icon)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorW(nullptr, cursor);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass); // once: a second time fails, and changes nothing
}

HWND createControl(HWND parent, const wchar_t *windowClass, DWORD style, DWORD exStyle,
                   const design::Control &plan, int id)
{
    const std::wstring text = look::wide(plan.text);
    HWND control = CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                   parent, HMENU(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    const std::wstring name = look::wide(plan.name);
    SetPropW(control, kDesignName, HANDLE(UINT_PTR(GlobalAddAtomW(name.c_str()))));
    if (!plan.spokenName.empty())
        nameForAssistiveTools(control, plan.spokenName);
    return control;
}

void nameForAssistiveTools(HWND control, std::string_view name)
{
    // Made once, on the first control named, and kept for the run.
    static IAccPropServices *const services = [] {
        IAccPropServices *made = nullptr;
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                    reinterpret_cast<void **>(&made))))
            made = nullptr;
        return made;
    }();
    if (!services)
        return; // Windows without it: the control keeps its own name
    const std::wstring text = look::wide(name);
    services->SetHwndPropStr(control, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, text.c_str());
}

void announce(HWND control, std::string_view text)
{
    using Listening = BOOL(WINAPI *)();
    using HostProvider = HRESULT(WINAPI *)(HWND, IUnknown **);
    using Notify = HRESULT(WINAPI *)(IUnknown *, int kind, int processing, BSTR text, BSTR activity);
    struct Calls {
        Listening listening = nullptr;
        HostProvider hostProvider = nullptr;
        Notify notify = nullptr;
    };
    // Looked up on the first announcement, and kept for the run.
    static const Calls calls = [] {
        Calls found;
        if (HMODULE core = LoadLibraryW(L"uiautomationcore.dll")) {
            const auto call = [core](const char *name) { return reinterpret_cast<void *>(GetProcAddress(core, name)); };
            found = {reinterpret_cast<Listening>(call("UiaClientsAreListening")),
                     reinterpret_cast<HostProvider>(call("UiaHostProviderFromHwnd")),
                     reinterpret_cast<Notify>(call("UiaRaiseNotificationEvent"))};
        }
        return found;
    }();
    if (!calls.listening || !calls.hostProvider || !calls.notify || !calls.listening())
        return;
    IUnknown *provider = nullptr;
    if (FAILED(calls.hostProvider(control, &provider)) || !provider)
        return;
    const std::wstring said = look::wide(text);
    BSTR spoken = SysAllocStringLen(said.data(), UINT(said.size()));
    BSTR activity = SysAllocString(L"Tessaline.answer");
    constexpr int kActionCompleted = 2, kMostRecent = 3; // NotificationKind, NotificationProcessing
    if (spoken && activity)
        calls.notify(provider, kActionCompleted, kMostRecent, spoken, activity);
    SysFreeString(spoken);
    SysFreeString(activity);
    provider->Release();
}

void makeOutputBox(HWND box, const design::Control &plan)
{
    SendMessageW(box, EM_SETREADONLY, TRUE, 0);
    SetWindowSubclass(box, outputBox, kOutputBox, 0);
    drawOnDesignLines(box, plan);
}

void drawOnDesignLines(HWND box, const design::Control &plan)
{
    SetWindowSubclass(box, drawnBox, kDrawnBox, DWORD_PTR(&plan));
}

void drawAsCaption(HWND label, const design::Control &plan)
{
    SetWindowSubclass(label, caption, kCaption, DWORD_PTR(&plan));
}

void limitCharacters(HWND box, int limit)
{
    SetWindowSubclass(box, limitedBox, kLimitedBox, DWORD_PTR(limit));
}

void chooseByName(HWND list)
{
    SetWindowSubclass(list, namedList, kNamedList, 0);
}

HBRUSH brush(design::Rgb rgb)
{
    static std::map<COLORREF, HBRUSH> brushes;
    const COLORREF colour = look::colour(rgb);
    HBRUSH &found = brushes[colour];
    if (!found)
        found = CreateSolidBrush(colour);
    return found;
}

HBRUSH boxColours(HDC dc, const design::Control &plan)
{
    if (plan.colour)
        SetTextColor(dc, look::colour(*plan.colour));
    const design::Rgb background = plan.background.value_or(design::kWhite);
    SetBkColor(dc, look::colour(background));
    return brush(background);
}

} // namespace win32
