#pragma once

#include <string>

class QWidget;

namespace tarvo {

enum class MessageKind { Warning, Error, Plain };

// A modal message with a single OK button; returns when the user closes it.
void show_message_box(QWidget* parent, MessageKind kind, const std::string& text);

}  // namespace tarvo
