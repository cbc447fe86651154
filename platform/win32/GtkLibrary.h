// GTK's entry points, looked up when the GTK backend is chosen, so that a run
// without a display never loads GTK and the seventy libraries below it (their
// loading and relocation cost some 25 ms at every start).
#pragma once

// The cast macros then stay plain casts and need no type functions.
#define G_DISABLE_CAST_CHECKS
#include <gtk/gtk.h>

namespace win32 {

#define TOLVANE_GTK_ENTRY_POINTS(X)                                                                         \
    X(g_ascii_xdigit_value) X(g_list_append) X(g_list_free_full) X(g_main_context_iteration) X(g_main_context_wakeup)               \
    X(g_object_unref) X(g_signal_connect_data) X(gdk_display_flush) X(gdk_display_get_default)              \
    X(gdk_pixbuf_get_pixels) X(gdk_pixbuf_get_rowstride) X(gdk_pixbuf_new) X(gdk_screen_get_default)        \
    X(gdk_window_set_decorations) X(gdk_window_set_functions) X(gtk_bin_get_child) X(gtk_box_pack_start)    \
    X(gtk_box_reorder_child) X(gtk_button_new_with_label) X(gtk_button_set_label) X(gtk_container_add)      \
    X(gtk_css_provider_load_from_data) X(gtk_css_provider_new) X(gtk_fixed_new) X(gtk_fixed_put)            \
    X(gtk_image_new_from_icon_name) X(gtk_init_check) X(gtk_label_new) X(gtk_label_set_ellipsize)           \
    X(gtk_label_set_text) X(gtk_label_set_xalign) X(gtk_label_set_yalign)                                   \
    X(gtk_message_dialog_get_message_area) X(gtk_message_dialog_new) X(gtk_style_context_add_class)         \
    X(gtk_style_context_add_provider_for_screen) X(gtk_widget_destroy) X(gtk_widget_get_parent)             \
    X(gtk_widget_get_style_context) X(gtk_widget_get_visible) X(gtk_widget_get_window) X(gtk_widget_hide)   \
    X(gtk_widget_set_can_focus) X(gtk_widget_set_size_request) X(gtk_widget_set_valign)                     \
    X(gtk_widget_set_visible) X(gtk_widget_show) X(gtk_window_new) X(gtk_window_present)                    \
    X(gtk_window_set_default_icon_list) X(gtk_window_set_deletable) X(gtk_window_set_keep_above)            \
    X(gtk_window_set_position) X(gtk_window_set_resizable) X(gtk_window_set_skip_taskbar_hint)              \
    X(gtk_window_set_title) X(gtk_window_set_urgency_hint)

struct GtkLibrary {
#define TOLVANE_GTK_ENTRY_POINT(name) decltype(&::name) name = nullptr;
    TOLVANE_GTK_ENTRY_POINTS(TOLVANE_GTK_ENTRY_POINT)
#undef TOLVANE_GTK_ENTRY_POINT
};

// Loads GTK once; null, with the reason on standard error, when it or one of
// its entry points is missing.
const GtkLibrary* LoadGtk();

}  // namespace win32
