#pragma once
// What a command prints on standard output: a JSON document for --json, or
// plain lines for people and simple scripts. Commands fill both from the
// same data; the writer makes the JSON text (escaped, valid UTF-8).

#include <cstdint>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

// A JSON value: null, a boolean, an integer, a string, an array or an
// object whose members keep the order they were added in.
class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    JsonValue() = default;
    JsonValue(bool value) : kind_(Kind::Bool), number_(value ? 1 : 0) {}
    JsonValue(int value) : kind_(Kind::Number), number_(value) {}
    JsonValue(long value) : kind_(Kind::Number), number_(value) {}
    JsonValue(long long value) : kind_(Kind::Number), number_(value) {}
    JsonValue(unsigned value) : kind_(Kind::Number), number_(value) {}
    JsonValue(const char* value) : kind_(Kind::String), text_(value) {}
    JsonValue(std::string value) : kind_(Kind::String), text_(std::move(value)) {}

    static JsonValue array() { return JsonValue(Kind::Array); }
    static JsonValue object() { return JsonValue(Kind::Object); }

    Kind kind() const { return kind_; }
    // An object's member (added, or replaced when the name is there).
    JsonValue& set(const std::string& name, JsonValue value);
    // An array's next element.
    JsonValue& push(JsonValue value);
    // The member of that name; nullptr when there is none.
    const JsonValue* find(const std::string& name) const;
    size_t size() const { return kind_ == Kind::Object ? members_.size() : elements_.size(); }
    const JsonValue& at(size_t index) const { return elements_.at(index); }

    // The JSON text, indented by two blanks per level.
    std::string toJson(int indent = 0) const;
    // A scalar as plain text (strings unquoted, null empty).
    std::string toPlain() const;

private:
    explicit JsonValue(Kind kind) : kind_(kind) {}

    Kind kind_ = Kind::Null;
    long long number_ = 0;
    std::string text_;
    std::vector<JsonValue> elements_;
    std::vector<std::pair<std::string, JsonValue>> members_;
};

// A JSON string literal of `text`, quotes included: control characters
// escaped, bytes that are no UTF-8 replaced by U+FFFD.
std::string JsonQuoted(const std::string& text);

struct CommandOutput {
    JsonValue data = JsonValue::object();
    std::vector<std::string> lines;  // the plain form, one entry a line
};

// Writes the JSON document or the plain lines (nothing when there are none).
void WriteCommandOutput(const CommandOutput& output, bool json, std::ostream& out);
