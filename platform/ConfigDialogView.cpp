#include "platform/ConfigDialogView.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/DialogForm.h"
#include "platform/DisplayModes.h"

namespace {

constexpr int fontSize = 12; // pixels; the dialog's units follow from it
// A drop-down list's own height; its size in the table is the opened list.
constexpr int dropDownHeightUnits = 12;
// Longer texts (an address, a port) are not typed into a field.
constexpr int maxTextLength = 100;

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

// A picture control with the image it shows (the image borrows the pixels).
struct CPictureBox {
    int                           id  = 0;
    Fl_Box*                       box = nullptr;
    CDialogPicture                pixels;
    std::unique_ptr<Fl_RGB_Image> image;
};

struct CViewState {
    explicit CViewState(CDialogForm& form) : dialog(form), result(form.Cancel()) {}

    CDialogForm&                              dialog;
    Fl_Double_Window*                         window = nullptr;
    int                                       result;
    std::vector<std::unique_ptr<CPictureBox>> pictures;
};

struct CBoxBinding {
    CViewState* view;
    int         id;
};

// Every picture as the dialog has it now.
void ShowPictures(CViewState& view) {
    for (const std::unique_ptr<CPictureBox>& picture : view.pictures) {
        picture->box->image(nullptr);
        picture->pixels              = view.dialog.GetPicture(picture->id);
        const CDialogPicture& pixels = picture->pixels;
        picture->image.reset(pixels.width > 0 && pixels.height > 0
                                 ? new Fl_RGB_Image(pixels.rgb.data(), pixels.width, pixels.height, 3)
                                 : nullptr);
        picture->box->image(picture->image.get());
        picture->box->redraw();
    }
}

void OnCheckBox(Fl_Widget* widget, void* data) {
    const CBoxBinding* binding = static_cast<CBoxBinding*>(data);
    binding->view->dialog.SetChecked(binding->id, static_cast<Fl_Check_Button*>(widget)->value() != 0);
}

void OnText(Fl_Widget* widget, void* data) {
    const CBoxBinding* binding = static_cast<CBoxBinding*>(data);
    binding->view->dialog.SetText(binding->id, static_cast<Fl_Input*>(widget)->value());
}

void OnChoice(Fl_Widget* widget, void* data) {
    const CBoxBinding* binding = static_cast<CBoxBinding*>(data);
    binding->view->dialog.SetListSelection(binding->id, static_cast<Fl_Choice*>(widget)->value());
    ShowPictures(*binding->view);
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

// A list's items; those the dialog does not offer are greyed out.
Fl_Widget* AddChoice(const CConfigControl& control, const CDialogUnits& units, CViewState& view,
                     std::vector<std::unique_ptr<CBoxBinding>>& bindings) {
    Fl_Choice* choice =
        new Fl_Choice(units.X(control.x), units.Y(control.y), units.X(control.width), units.Y(dropDownHeightUnits));
    const std::vector<std::string> items = view.dialog.GetListItems(control.id);
    for (size_t index = 0; index < items.size(); ++index) {
        const bool offered = view.dialog.IsListItemOffered(control.id, static_cast<int>(index));
        choice->add(EscapeMenuLabel(items[index]).c_str(), 0, nullptr, nullptr, offered ? 0 : FL_MENU_INACTIVE);
    }
    if (view.dialog.GetListSelection(control.id) >= 0) {
        choice->value(view.dialog.GetListSelection(control.id));
    }
    choice->textsize(fontSize);
    bindings.push_back(std::make_unique<CBoxBinding>(CBoxBinding{&view, control.id}));
    choice->callback(OnChoice, bindings.back().get());
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
        return AddChoice(control, units, view, bindings);
    case ConfigControlKind::Picture: {
        view.pictures.push_back(std::make_unique<CPictureBox>());
        view.pictures.back()->id  = control.id;
        view.pictures.back()->box = new Fl_Box(FL_DOWN_FRAME, x, y, w, h, nullptr);
        return view.pictures.back()->box;
    }
    case ConfigControlKind::CheckBox: {
        Fl_Check_Button* box = new Fl_Check_Button(x, y, w, h, control.text);
        box->value(view.dialog.IsChecked(control.id) ? 1 : 0);
        bindings.push_back(std::make_unique<CBoxBinding>(CBoxBinding{&view, control.id}));
        box->callback(OnCheckBox, bindings.back().get());
        return box;
    }
    case ConfigControlKind::TextField: {
        Fl_Input* field = new Fl_Input(x, y, w, h);
        field->value(view.dialog.GetText(control.id).c_str());
        field->textsize(fontSize);
        field->maximum_size(maxTextLength);
        field->when(FL_WHEN_CHANGED);
        bindings.push_back(std::make_unique<CBoxBinding>(CBoxBinding{&view, control.id}));
        field->callback(OnText, bindings.back().get());
        return field;
    }
    case ConfigControlKind::PushButton: {
        Fl_Button* button = new Fl_Button(x, y, w, h, control.text);
        button->callback(OnCancel, &view);
        return button;
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

int CConfigDialogView::Show(CDialogForm& dialog) {
    dialog.Initialise(CDisplayModes::Enumerate());

    const CDialogUnits                        units;
    const int                                 width  = units.X(dialog.GetWidthUnits());
    const int                                 height = units.Y(dialog.GetHeightUnits());
    CViewState                                view(dialog);
    std::vector<std::unique_ptr<CBoxBinding>> bindings;

    Fl_Double_Window window((Fl::w() - width) / 2, (Fl::h() - height) / 2, width, height, dialog.GetTitle());
    view.window = &window;
    for (const CConfigControl& control : dialog.GetControlList()) {
        if (Fl_Widget* widget = AddControl(control, units, view, bindings)) {
            widget->labelsize(fontSize);
        }
    }
    window.end();
    ShowPictures(view);
    window.set_modal();
    window.callback(OnCancel, &view);
    window.show();
    while (window.shown()) {
        Fl::wait();
    }
    Fl::flush();
    return view.result;
}
