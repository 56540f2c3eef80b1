// The edge between GBK texts and Qt's UTF-16 strings.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace vardex {

// A stored text for a widget; bytes that are no GBK character show as U+FFFD.
QString ToQString(std::string_view gbk);

// A widget's text for storing; nullopt when a character has no GBK form.
std::optional<std::string> ToGbk(const QString& text);

// The first character of text that GBK cannot hold; empty when there is none.
QString FirstNonGbkCharacter(const QString& text);

}  // namespace vardex
