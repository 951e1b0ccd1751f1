// The style properties the engine computes: name, whether it is inherited,
// and its initial value. The layout reads them by id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kvhtml::core {

#define KVHTML_PROPERTIES(X)                                    \
    X(display, "display", false, "inline")                      \
    X(position, "position", false, "static")                    \
    X(top, "top", false, "auto")                                \
    X(right, "right", false, "auto")                            \
    X(bottom, "bottom", false, "auto")                          \
    X(left, "left", false, "auto")                              \
    X(z_index, "z-index", false, "auto")                        \
    X(float_, "float", false, "none")                           \
    X(clear, "clear", false, "none")                            \
    X(box_sizing, "box-sizing", false, "content-box")           \
    X(margin_top, "margin-top", false, "0")                     \
    X(margin_right, "margin-right", false, "0")                 \
    X(margin_bottom, "margin-bottom", false, "0")               \
    X(margin_left, "margin-left", false, "0")                   \
    X(padding_top, "padding-top", false, "0")                   \
    X(padding_right, "padding-right", false, "0")               \
    X(padding_bottom, "padding-bottom", false, "0")             \
    X(padding_left, "padding-left", false, "0")                 \
    X(border_top_width, "border-top-width", false, "medium")    \
    X(border_right_width, "border-right-width", false, "medium") \
    X(border_bottom_width, "border-bottom-width", false, "medium") \
    X(border_left_width, "border-left-width", false, "medium")  \
    X(border_top_style, "border-top-style", false, "none")      \
    X(border_right_style, "border-right-style", false, "none")  \
    X(border_bottom_style, "border-bottom-style", false, "none") \
    X(border_left_style, "border-left-style", false, "none")    \
    X(border_top_color, "border-top-color", false, "currentcolor") \
    X(border_right_color, "border-right-color", false, "currentcolor") \
    X(border_bottom_color, "border-bottom-color", false, "currentcolor") \
    X(border_left_color, "border-left-color", false, "currentcolor") \
    X(border_top_left_radius, "border-top-left-radius", false, "0") \
    X(border_top_right_radius, "border-top-right-radius", false, "0") \
    X(border_bottom_right_radius, "border-bottom-right-radius", false, "0") \
    X(border_bottom_left_radius, "border-bottom-left-radius", false, "0") \
    X(width, "width", false, "auto")                            \
    X(height, "height", false, "auto")                          \
    X(min_width, "min-width", false, "auto")                    \
    X(min_height, "min-height", false, "auto")                  \
    X(max_width, "max-width", false, "none")                    \
    X(max_height, "max-height", false, "none")                  \
    X(flex_direction, "flex-direction", false, "row")           \
    X(flex_wrap, "flex-wrap", false, "nowrap")                  \
    X(flex_grow, "flex-grow", false, "0")                       \
    X(flex_shrink, "flex-shrink", false, "1")                   \
    X(flex_basis, "flex-basis", false, "auto")                  \
    X(justify_content, "justify-content", false, "normal")      \
    X(align_items, "align-items", false, "normal")              \
    X(align_self, "align-self", false, "auto")                  \
    X(align_content, "align-content", false, "normal")          \
    X(order, "order", false, "0")                               \
    X(row_gap, "row-gap", false, "normal")                      \
    X(column_gap, "column-gap", false, "normal")                \
    X(overflow_x, "overflow-x", false, "visible")               \
    X(overflow_y, "overflow-y", false, "visible")               \
    X(text_overflow, "text-overflow", false, "clip")            \
    X(color, "color", true, "black")                            \
    X(background_color, "background-color", false, "transparent") \
    X(background_image, "background-image", false, "none")     \
    X(background_repeat, "background-repeat", false, "repeat")  \
    X(background_position, "background-position", false, "0% 0%") \
    X(background_size, "background-size", false, "auto")        \
    X(opacity, "opacity", false, "1")                           \
    X(font_family, "font-family", true, "sans-serif")           \
    X(font_size, "font-size", true, "medium")                   \
    X(font_weight, "font-weight", true, "normal")               \
    X(font_style, "font-style", true, "normal")                 \
    X(line_height, "line-height", true, "normal")               \
    X(text_align, "text-align", true, "start")                  \
    X(vertical_align, "vertical-align", false, "baseline")      \
    X(text_decoration_line, "text-decoration-line", false, "none") \
    X(text_transform, "text-transform", true, "none")           \
    X(text_indent, "text-indent", true, "0")                    \
    X(letter_spacing, "letter-spacing", true, "normal")         \
    X(white_space, "white-space", true, "normal")               \
    X(overflow_wrap, "overflow-wrap", true, "normal")           \
    X(word_break, "word-break", true, "normal")                 \
    X(visibility, "visibility", true, "visible")                \
    X(cursor, "cursor", true, "auto")                           \
    X(list_style_type, "list-style-type", true, "disc")         \
    X(behavior, "behavior", false, "none")

enum class property : std::uint16_t {
#define KVHTML_PROPERTY_ID(id, name, inherited, initial) id,
    KVHTML_PROPERTIES(KVHTML_PROPERTY_ID)
#undef KVHTML_PROPERTY_ID
};

constexpr size_t property_count = 0
#define KVHTML_PROPERTY_COUNT(id, name, inherited, initial) +1
    KVHTML_PROPERTIES(KVHTML_PROPERTY_COUNT)
#undef KVHTML_PROPERTY_COUNT
    ;

struct property_info {
    std::string_view name;
    bool inherited;
    std::string_view initial;
};

const property_info& info(property p);
// Longhand ids by name; false for unknown names (shorthands included).
bool find_property(std::string_view name, property& out);

}  // namespace kvhtml::core
