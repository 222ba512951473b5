#include "platform/ConfigDialogView.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/ConfigDialog.h"
#include "platform/DisplayModes.h"

namespace {

constexpr int fontSize = 12; // pixels; the dialog's units follow from it
// A drop-down list's own height; its size in the table is the opened list.
constexpr int dropDownHeightUnits = 12;

// Dialog units to pixels for the font in use: a horizontal unit is a
// quarter of the average character width, a vertical unit an eighth of the
// character height.
class CDialogUnits {
public:
    CDialogUnits() {
        fl_font(FL_HELVETICA, fontSize);
        static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        averageWidth                 = fl_width(alphabet) / (sizeof alphabet - 1);
        height                       = fl_height();
    }
    int X(int units) const { return static_cast<int>(std::lround(units * averageWidth / 4.0)); }
    int Y(int units) const { return static_cast<int>(std::lround(units * height / 8.0)); }

private:
    double averageWidth = 6.0;
    double height       = 13.0;
};

// Menu labels treat '/', '\\', '&' and '@' specially; mode texts are shown
// as they are.
std::string EscapeMenuLabel(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '/' || c == '\\') {
            escaped += '\\';
        } else if (c == '&' || c == '@') {
            escaped += c;
        }
        escaped += c;
    }
    return escaped;
}

struct CViewState {
    explicit CViewState(CConfigDialog& dialogValue) : dialog(dialogValue) {}

    CConfigDialog&                dialog;
    Fl_Double_Window*             window  = nullptr;
    Fl_Box*                       preview = nullptr;
    CConfigDialog::CPicture       pixels;
    std::unique_ptr<Fl_RGB_Image> picture;
    int                           result = CConfigDialog::resultCancel;
};

// The selected level's picture, or an empty frame.
void ShowPreview(CViewState& view) {
    if (view.preview == nullptr) {
        return;
    }
    view.preview->image(nullptr);
    view.pixels = view.dialog.GetPreview();
    view.picture.reset(view.pixels.width > 0 && view.pixels.height > 0
                           ? new Fl_RGB_Image(view.pixels.rgb.data(), view.pixels.width, view.pixels.height, 3)
                           : nullptr);
    view.preview->image(view.picture.get());
    view.preview->redraw();
}

struct CBoxBinding {
    CViewState* view;
    int         id;
};

void OnCheckBox(Fl_Widget* widget, void* data) {
    const CBoxBinding* binding = static_cast<CBoxBinding*>(data);
    binding->view->dialog.SetChecked(binding->id, static_cast<Fl_Check_Button*>(widget)->value() != 0);
}

void OnChoice(Fl_Widget* widget, void* data) {
    static_cast<CViewState*>(data)->dialog.SetSelection(static_cast<Fl_Choice*>(widget)->value());
}

void OnLevelChoice(Fl_Widget* widget, void* data) {
    CViewState* view = static_cast<CViewState*>(data);
    view->dialog.SetLevelSelection(static_cast<Fl_Choice*>(widget)->value());
    ShowPreview(*view);
}

void OnStart(Fl_Widget*, void* data) {
    CViewState* view = static_cast<CViewState*>(data);
    view->result     = view->dialog.Start();
    view->window->hide();
}

// Cancel, Escape and the close box.
void OnCancel(Fl_Widget*, void* data) {
    CViewState* view = static_cast<CViewState*>(data);
    view->result     = view->dialog.Cancel();
    view->window->hide();
}

// The display modes, or the levels (those that cannot be played greyed out).
Fl_Widget* AddChoice(const CConfigControl& control, const CDialogUnits& units, CViewState& view) {
    Fl_Choice* choice =
        new Fl_Choice(units.X(control.x), units.Y(control.y), units.X(control.width), units.Y(dropDownHeightUnits));
    const bool                     isLevels  = control.id == CConfigDialog::idLevels;
    const std::vector<std::string> items     = isLevels ? view.dialog.GetLevelItems() : view.dialog.GetItems();
    const int                      selection = isLevels ? view.dialog.GetLevelSelection() : view.dialog.GetSelection();
    for (size_t index = 0; index < items.size(); ++index) {
        const bool offered = !isLevels || view.dialog.IsLevelOffered(static_cast<int>(index));
        choice->add(EscapeMenuLabel(items[index]).c_str(), 0, nullptr, nullptr, offered ? 0 : FL_MENU_INACTIVE);
    }
    if (selection >= 0) {
        choice->value(selection);
    }
    choice->textsize(fontSize);
    choice->callback(isLevels ? OnLevelChoice : OnChoice, &view);
    return choice;
}

Fl_Widget* AddControl(const CConfigControl& control, const CDialogUnits& units, CViewState& view,
                      std::vector<std::unique_ptr<CBoxBinding>>& bindings) {
    const int x = units.X(control.x);
    const int y = units.Y(control.y);
    const int w = units.X(control.width);
    const int h = units.Y(control.height);
    switch (control.kind) {
    case ConfigControlKind::Label: {
        Fl_Box* label = new Fl_Box(x, y, w, h, control.text);
        label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
        return label;
    }
    case ConfigControlKind::DropDownList:
        return AddChoice(control, units, view);
    case ConfigControlKind::CheckBox: {
        Fl_Check_Button* box = new Fl_Check_Button(x, y, w, h, control.text);
        box->value(view.dialog.IsChecked(control.id) ? 1 : 0);
        bindings.push_back(std::make_unique<CBoxBinding>(CBoxBinding{&view, control.id}));
        box->callback(OnCheckBox, bindings.back().get());
        return box;
    }
    case ConfigControlKind::PushButton: {
        Fl_Button* button = new Fl_Button(x, y, w, h, control.text);
        button->callback(OnCancel, &view);
        return button;
    }
    case ConfigControlKind::Picture: {
        view.preview = new Fl_Box(FL_DOWN_FRAME, x, y, w, h, nullptr);
        ShowPreview(view);
        return view.preview;
    }
    case ConfigControlKind::DefaultPushButton: {
        Fl_Return_Button* button = new Fl_Return_Button(x, y, w, h, control.text);
        button->callback(OnStart, &view);
        return button;
    }
    }
    return nullptr;
}

} // namespace

bool CConfigDialogView::OpenDisplay() {
    if (fl_display != nullptr) {
        return true;
    }
    // The toolkit's own opening ends the process when it fails.
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    fl_open_display(display);
    return true;
}

int CConfigDialogView::Show(CConfigDialog& dialog) {
    dialog.Initialise(CDisplayModes::Enumerate(), CLevelCatalog().GetLevels());

    const CDialogUnits                        units;
    const int                                 width  = units.X(CConfigDialog::widthUnits);
    const int                                 height = units.Y(CConfigDialog::heightUnits);
    CViewState                                view(dialog);
    std::vector<std::unique_ptr<CBoxBinding>> bindings;

    Fl_Double_Window window((Fl::w() - width) / 2, (Fl::h() - height) / 2, width, height, CConfigDialog::title);
    view.window = &window;
    for (const CConfigControl& control : CConfigDialog::GetControls()) {
        if (Fl_Widget* widget = AddControl(control, units, view, bindings)) {
            widget->labelsize(fontSize);
        }
    }
    window.end();
    window.set_modal();
    window.callback(OnCancel, &view);
    window.show();
    while (window.shown()) {
        Fl::wait();
    }
    Fl::flush();
    return view.result;
}
