#include "cli/OutputWriter.h"

#include <cstdio>
#include <ostream>

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when the bytes
// there are no valid sequence (overlong forms and surrogates included).
size_t utf8SequenceLength(const std::string& text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

std::string spaces(int indent)
{
    return std::string(static_cast<size_t>(indent) * 2, ' ');
}

}  // namespace

JsonValue& JsonValue::set(const std::string& name, JsonValue value)
{
    for (auto& member : members_) {
        if (member.first == name) {
            member.second = std::move(value);
            return member.second;
        }
    }
    members_.emplace_back(name, std::move(value));
    return members_.back().second;
}

JsonValue& JsonValue::push(JsonValue value)
{
    elements_.push_back(std::move(value));
    return elements_.back();
}

const JsonValue* JsonValue::find(const std::string& name) const
{
    for (const auto& member : members_)
        if (member.first == name)
            return &member.second;
    return nullptr;
}

std::string JsonValue::toJson(int indent) const
{
    switch (kind_) {
    case Kind::Null: return "null";
    case Kind::Bool: return number_ ? "true" : "false";
    case Kind::Number: return std::to_string(number_);
    case Kind::String: return JsonQuoted(text_);
    case Kind::Array: {
        if (elements_.empty())
            return "[]";
        std::string text = "[\n";
        for (size_t i = 0; i < elements_.size(); ++i)
            text += spaces(indent + 1) + elements_[i].toJson(indent + 1) + (i + 1 < elements_.size() ? ",\n" : "\n");
        return text + spaces(indent) + "]";
    }
    case Kind::Object: {
        if (members_.empty())
            return "{}";
        std::string text = "{\n";
        for (size_t i = 0; i < members_.size(); ++i)
            text += spaces(indent + 1) + JsonQuoted(members_[i].first) + ": " +
                    members_[i].second.toJson(indent + 1) + (i + 1 < members_.size() ? ",\n" : "\n");
        return text + spaces(indent) + "}";
    }
    }
    return "null";
}

std::string JsonValue::toPlain() const
{
    switch (kind_) {
    case Kind::Null: return std::string();
    case Kind::String: return text_;
    case Kind::Bool:
    case Kind::Number: return toJson();
    default: return toJson();
    }
}

std::string JsonQuoted(const std::string& text)
{
    std::string quoted = "\"";
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const size_t length = utf8SequenceLength(text, i);
            if (length == 0) {
                quoted += "\\ufffd";
                ++i;
            } else {
                quoted.append(text, i, length);
                i += length;
            }
            continue;
        }
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        case '\b': quoted += "\\b"; break;
        case '\f': quoted += "\\f"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                quoted += escape;
            } else {
                quoted += static_cast<char>(c);
            }
        }
        ++i;
    }
    return quoted + "\"";
}

void WriteCommandOutput(const CommandOutput& output, bool json, std::ostream& out)
{
    if (json) {
        out << output.data.toJson() << "\n";
        return;
    }
    for (const std::string& line : output.lines)
        out << line << "\n";
}
