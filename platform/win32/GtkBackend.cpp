// The GTK 3 backend: the dialogs and message boxes as real windows. GTK is
// called on the user-interface thread only; work asked for on another thread
// is handed to it like a sent message. While the user-interface thread waits
// for messages it runs the GLib main loop, which the queue wakes when a
// message arrives, so neither loop polls.
#include "platform/win32/GtkLibrary.h"

#include <map>
#include <strings.h>

#include "platform/win32/DisplayText.h"
#include "platform/win32/UiBackend.h"

namespace win32 {

namespace {

const GtkLibrary* lib = nullptr;

void Connect(gpointer instance, const char* signal, GCallback handler, gpointer data) {
    lib->g_signal_connect_data(instance, signal, handler, data, nullptr, GConnectFlags{});
}

bool IsButton(const WindowView& control) {
    return strcasecmp(control.className.c_str(), "Button") == 0;
}

GdkPixbuf* PixbufOf(const IconImageResource& image) {
    GdkPixbuf* pixbuf = lib->gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, image.width, image.height);
    guchar* pixels = lib->gdk_pixbuf_get_pixels(pixbuf);
    const int stride = lib->gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            guchar* pixel = pixels + y * stride + x * 4;
            const char index = image.rows[y][x];
            if (index == '.') {
                pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0;
                continue;
            }
            const uint32_t rgb = image.palette[lib->g_ascii_xdigit_value(index)];
            pixel[0] = static_cast<guchar>(rgb >> 16);
            pixel[1] = static_cast<guchar>(rgb >> 8);
            pixel[2] = static_cast<guchar>(rgb);
            pixel[3] = 0xFF;
        }
    }
    return pixbuf;
}

// The theme icon for the box's icon flag, or null for a box without one.
const char* IconNameOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return "dialog-error";
    case MB_ICONWARNING: return "dialog-warning";
    case MB_ICONINFORMATION: return "dialog-information";
    case MB_ICONQUESTION: return "dialog-question";
    default: return nullptr;
    }
}

GtkMessageType MessageTypeOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return GTK_MESSAGE_ERROR;
    case MB_ICONWARNING: return GTK_MESSAGE_WARNING;
    case MB_ICONINFORMATION: return GTK_MESSAGE_INFO;
    case MB_ICONQUESTION: return GTK_MESSAGE_QUESTION;
    default: return GTK_MESSAGE_OTHER;
    }
}

struct OpenBox {
    std::shared_ptr<MessageBoxAnswer> answer;
    bool okCancel;
};

void OnBoxResponse(GtkDialog* box, gint response, gpointer data) {
    auto* open = static_cast<OpenBox*>(data);
    // Closing a box that offers only OK answers OK, as on Windows.
    open->answer->Give(response == GTK_RESPONSE_OK || !open->okCancel ? IDOK : IDCANCEL);
    delete open;
    lib->gtk_widget_destroy(GTK_WIDGET(box));
}

void OnButtonClicked(GtkButton*, gpointer button) {
    ClickButton(static_cast<HWND>(button));
}

// A window without a system menu has no close box and ignores closing.
gboolean OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer window) {
    const WindowView view = ViewOf(static_cast<HWND>(window));
    if ((view.style & WS_SYSMENU) != 0) {
        SendMessageA(view.handle, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

// The frame the window manager draws follows the window's styles: a dialog
// without a system menu gets a caption bar and no buttons.
void OnRealize(GtkWidget* widget, gpointer window) {
    const DWORD style = ViewOf(static_cast<HWND>(window)).style;
    int decorations = GDK_DECOR_BORDER;
    int functions = GDK_FUNC_MOVE;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        decorations |= GDK_DECOR_TITLE;
    }
    if ((style & WS_SYSMENU) != 0) {
        decorations |= GDK_DECOR_MENU;
        functions |= GDK_FUNC_CLOSE;
        if ((style & WS_MINIMIZEBOX) != 0) {
            decorations |= GDK_DECOR_MINIMIZE;
            functions |= GDK_FUNC_MINIMIZE;
        }
        if ((style & WS_MAXIMIZEBOX) != 0) {
            decorations |= GDK_DECOR_MAXIMIZE;
            functions |= GDK_FUNC_MAXIMIZE;
        }
    }
    if ((style & WS_THICKFRAME) != 0) {
        decorations |= GDK_DECOR_RESIZEH;
        functions |= GDK_FUNC_RESIZE;
    }
    GdkWindow* frame = lib->gtk_widget_get_window(widget);
    lib->gdk_window_set_decorations(frame, static_cast<GdkWMDecoration>(decorations));
    lib->gdk_window_set_functions(frame, static_cast<GdkWMFunction>(functions));
}

class GtkBackend : public UiBackend {
public:
    explicit GtkBackend(std::shared_ptr<ThreadQueue> userInterface) : ui_(std::move(userInterface)) {
        ui_->SetWaiter(QueueWaiter{[] { lib->g_main_context_iteration(nullptr, TRUE); },
                                   [] { lib->g_main_context_wakeup(nullptr); }});
        GtkCssProvider* css = lib->gtk_css_provider_new();
        // The dialog templates are laid out for an 8-point font.
        lib->gtk_css_provider_load_from_data(css, ".tolvane-dialog { font-size: 8pt; }", -1, nullptr);
        lib->gtk_style_context_add_provider_for_screen(lib->gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        lib->g_object_unref(css);
    }

    void Created(const WindowView& window) override {
        OnUiThread([this, window] {
            if (window.kind == WindowKind::Control) {
                AddControl(window);
            } else {
                AddWindow(window);
            }
        });
    }

    void TextChanged(const WindowView& window) override {
        OnUiThread([this, window] {
            const std::string text = AnsiToUtf8(window.text);
            if (const auto top = windows_.find(window.handle); top != windows_.end()) {
                lib->gtk_window_set_title(GTK_WINDOW(top->second), text.c_str());
                lib->gdk_display_flush(lib->gdk_display_get_default());
            } else if (const auto control = controls_.find(window.handle); control != controls_.end()) {
                if (IsButton(window)) {
                    lib->gtk_button_set_label(GTK_BUTTON(control->second), text.c_str());
                } else {
                    lib->gtk_label_set_text(GTK_LABEL(control->second), text.c_str());
                }
            }
        });
    }

    void VisibilityChanged(const WindowView& window) override {
        OnUiThread([this, window] {
            if (const auto top = windows_.find(window.handle); top != windows_.end()) {
                if (window.visible) {
                    lib->gtk_widget_show(lib->gtk_bin_get_child(GTK_BIN(top->second)));
                    lib->gtk_window_present(GTK_WINDOW(top->second));
                } else {
                    lib->gtk_widget_hide(top->second);
                }
            } else if (const auto control = controls_.find(window.handle); control != controls_.end()) {
                lib->gtk_widget_set_visible(control->second, window.visible);
            }
        });
    }

    void Destroyed(const WindowView& window) override {
        OnUiThread([this, window] {
            for (auto* widgets : {&windows_, &controls_}) {
                if (const auto found = widgets->find(window.handle); found != widgets->end()) {
                    lib->gtk_widget_destroy(found->second);
                    widgets->erase(found);
                }
            }
        });
    }

    void ShowMessageBox(const MessageBoxRequest& request, const std::shared_ptr<MessageBoxAnswer>& answer) override {
        OnUiThread([this, request, answer] { OpenMessageBox(request, answer); });
    }

private:
    void OnUiThread(std::function<void()> work) { RunOnThread(ui_, std::move(work)); }

    // The program's icon, for every window of the program.
    void SetProgramIcon() {
        if (iconSet_) {
            return;
        }
        const auto* icon = reinterpret_cast<const IconResource*>(ProgramIcon());
        if (icon == nullptr || icon->images.empty()) {
            return;
        }
        GList* pixbufs = nullptr;
        for (const IconImageResource& image : icon->images) {
            pixbufs = lib->g_list_append(pixbufs, PixbufOf(image));
        }
        lib->gtk_window_set_default_icon_list(pixbufs);
        lib->g_list_free_full(pixbufs, lib->g_object_unref);
        iconSet_ = true;
    }

    void AddWindow(const WindowView& view) {
        SetProgramIcon();
        GtkWidget* window = lib->gtk_window_new(GTK_WINDOW_TOPLEVEL);
        lib->gtk_window_set_title(GTK_WINDOW(window), AnsiToUtf8(view.text).c_str());
        lib->gtk_window_set_deletable(GTK_WINDOW(window), (view.style & WS_SYSMENU) != 0);
        Connect(window, "delete-event", G_CALLBACK(OnDeleteEvent), view.handle);
        Connect(window, "realize", G_CALLBACK(OnRealize), view.handle);
        GtkWidget* area = lib->gtk_fixed_new();
        lib->gtk_widget_set_size_request(area, view.rect.right - view.rect.left, view.rect.bottom - view.rect.top);
        lib->gtk_container_add(GTK_CONTAINER(window), area);
        if (view.kind == WindowKind::Dialog) {
            lib->gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
            lib->gtk_style_context_add_class(lib->gtk_widget_get_style_context(window), "tolvane-dialog");
            if (view.dialog != nullptr && (view.dialog->style & DS_CENTER) != 0) {
                lib->gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
            }
        }
        windows_[view.handle] = window;
    }

    void AddControl(const WindowView& view) {
        const auto parent = windows_.find(view.parent);
        if (parent == windows_.end()) {
            return;
        }
        const std::string text = AnsiToUtf8(view.text);
        GtkWidget* widget = nullptr;
        if (IsButton(view)) {
            widget = lib->gtk_button_new_with_label(text.c_str());
            // Without dialog-message routing the keyboard does not press buttons.
            lib->gtk_widget_set_can_focus(widget, FALSE);
            Connect(widget, "clicked", G_CALLBACK(OnButtonClicked), view.handle);
        } else {
            widget = lib->gtk_label_new(text.c_str());
            const bool centred = (view.style & SS_CENTER) != 0;
            lib->gtk_label_set_xalign(GTK_LABEL(widget), centred ? 0.5f : 0.0f);
            lib->gtk_label_set_yalign(GTK_LABEL(widget), 0.0f);
            lib->gtk_label_set_ellipsize(GTK_LABEL(widget), PANGO_ELLIPSIZE_END);
        }
        lib->gtk_widget_set_size_request(widget, view.rect.right - view.rect.left, view.rect.bottom - view.rect.top);
        lib->gtk_fixed_put(GTK_FIXED(lib->gtk_bin_get_child(GTK_BIN(parent->second))), widget, view.rect.left, view.rect.top);
        lib->gtk_widget_set_visible(widget, view.visible);
        controls_[view.handle] = widget;
    }

    void OpenMessageBox(const MessageBoxRequest& request, const std::shared_ptr<MessageBoxAnswer>& answer) {
        SetProgramIcon();
        GtkWindow* owner = nullptr;
        if (const auto found = windows_.find(request.owner);
            found != windows_.end() && lib->gtk_widget_get_visible(found->second)) {
            owner = GTK_WINDOW(found->second);
        }
        const bool okCancel = (request.type & MB_TYPEMASK) == MB_OKCANCEL;
        GtkWidget* box = lib->gtk_message_dialog_new(owner, owner != nullptr ? GTK_DIALOG_MODAL : GtkDialogFlags{},
                                                MessageTypeOf(request.type),
                                                okCancel ? GTK_BUTTONS_OK_CANCEL : GTK_BUTTONS_OK, "%s",
                                                AnsiToUtf8(request.text).c_str());
        lib->gtk_window_set_title(GTK_WINDOW(box), AnsiToUtf8(request.caption).c_str());
        // GTK 3 no longer draws the type's icon itself: put it beside the text.
        if (const char* iconName = IconNameOf(request.type); iconName != nullptr) {
            GtkWidget* row = lib->gtk_widget_get_parent(lib->gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box)));
            GtkWidget* image = lib->gtk_image_new_from_icon_name(iconName, GTK_ICON_SIZE_DIALOG);
            lib->gtk_widget_set_valign(image, GTK_ALIGN_START);
            lib->gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
            lib->gtk_box_reorder_child(GTK_BOX(row), image, 0);
            lib->gtk_widget_show(image);
        }
        lib->gtk_window_set_position(GTK_WINDOW(box), owner != nullptr ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
        // A box without owner has a task-bar entry of its own, as on Windows.
        lib->gtk_window_set_skip_taskbar_hint(GTK_WINDOW(box), owner != nullptr);
        if ((request.type & (MB_SETFOREGROUND | MB_TOPMOST)) != 0) {
            lib->gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
            lib->gtk_window_set_urgency_hint(GTK_WINDOW(box), TRUE);
        }
        auto* open = new OpenBox{answer, okCancel};
        Connect(box, "response", G_CALLBACK(OnBoxResponse), open);
        lib->gtk_widget_show(box);
        lib->gtk_window_present(GTK_WINDOW(box));
    }

    std::shared_ptr<ThreadQueue> ui_;
    std::map<HWND, GtkWidget*> windows_;
    std::map<HWND, GtkWidget*> controls_;
    bool iconSet_ = false;
};

}  // namespace

std::unique_ptr<UiBackend> CreateGtkBackend() {
    lib = LoadGtk();
    if (lib == nullptr || !lib->gtk_init_check(nullptr, nullptr)) {
        return nullptr;
    }
    return std::make_unique<GtkBackend>(CurrentQueue());
}

}  // namespace win32
