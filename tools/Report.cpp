// The doctor's report (Report.h): the status of items and of the whole, and
// the text and JSON forms.

#include "Report.h"

#include <algorithm>
#include <cstring>

#include "Commands.h"
#include "Json.h"
#include "PathText.h"

namespace kolvenv {

Status Item::GetStatus() const {
    return !problems.empty()   ? Status::kProblem
           : !warnings.empty() ? Status::kWarning
                               : Status::kOk;
}

void Item::Add(const std::string& factKey, Value value) {
    facts.push_back({factKey, std::move(value)});
}

void Item::Warn(const std::string& text) {
    if (!text.empty()) {
        warnings.push_back(text);
    }
}

namespace {

const char* StatusName(Status status) {
    switch (status) {
        case Status::kOk:
            return "OK";
        case Status::kWarning:
            return "WARNING";
        case Status::kProblem:
            return "PROBLEM";
    }
    return "PROBLEM";
}

Status WorstStatus(const std::vector<Item>& items) {
    Status worst = Status::kOk;
    for (const Item& item : items) {
        worst = std::max(worst, item.GetStatus());
    }
    return worst;
}

std::size_t CountWithStatus(const std::vector<Item>& items, Status status) {
    return std::count_if(items.begin(), items.end(),
                         [status](const Item& item) { return item.GetStatus() == status; });
}

// ----- The JSON form ---------------------------------------------------------------

// How a fact's value is written in JSON.
struct JsonSpelling {
    std::string operator()(std::nullptr_t) const { return "null"; }
    std::string operator()(bool flag) const { return flag ? "true" : "false"; }
    std::string operator()(long long number) const { return std::to_string(number); }
    std::string operator()(const std::string& text) const { return JsonString(text); }
    std::string operator()(const List& texts) const {
        List strings(texts.size());
        std::transform(texts.begin(), texts.end(), strings.begin(), JsonString);
        return "[" + kolv::JoinList(strings, ", ") + "]";
    }
};

// One member of an item's object, on a line of its own, with its comma.
std::string JsonMember(const std::string& key, const std::string& value) {
    return "\n      " + JsonString(key) + ": " + value + ",";
}

// The messages, one object a line; "[]" for none.
std::string JsonMessages(const std::vector<LibraryMessage>& messages) {
    List objects;
    for (const LibraryMessage& message : messages) {
        objects.push_back("\n        {\"function\": " + JsonString(message.function) +
                          ", \"text\": " + JsonString(message.text) + "}");
    }
    return "[" + kolv::JoinList(objects, ",") + (objects.empty() ? "" : "\n      ") + "]";
}

std::string JsonItem(const Item& item) {
    std::string out = "\n    " + JsonString(item.key) + ": {";
    out += JsonMember("status", JsonString(StatusName(item.GetStatus())));
    out += JsonMember("title", JsonString(item.title));
    for (const Fact& fact : item.facts) {
        out += JsonMember(fact.key, std::visit(JsonSpelling(), fact.value));
    }
    out += JsonMember("problems", JsonSpelling()(item.problems));
    out += JsonMember("warnings", JsonSpelling()(item.warnings));
    out += JsonMember("repair", JsonSpelling()(item.repair));
    return out + "\n      \"messages\": " + JsonMessages(item.messages) + "\n    }";
}

// ----- The text form ---------------------------------------------------------------

// How a fact's value is written for a reader: a list as one line an element.
struct TextSpelling {
    std::string operator()(std::nullptr_t) const { return "(none)"; }
    std::string operator()(bool flag) const { return flag ? "yes" : "no"; }
    std::string operator()(long long number) const { return std::to_string(number); }
    std::string operator()(const std::string& text) const { return text; }
    std::string operator()(const List& texts) const {
        std::string out;
        for (const std::string& text : texts) {
            out += "\n      - " + text;
        }
        return out;
    }
};

// "[STATUS]" padded to the width of the longest.
std::string StatusTag(Status status) {
    std::string tag = std::string("[") + StatusName(status) + "]";
    tag.resize(std::strlen("[WARNING]"), ' ');
    return tag;
}

// "key: value"; a value that starts a line of its own follows the colon.
std::string TextFact(const Fact& fact) {
    const std::string value = std::visit(TextSpelling(), fact.value);
    const char* gap = !value.empty() && value[0] == '\n' ? "" : " ";
    return "    " + fact.key + ":" + gap + value + "\n";
}

// Each line after the prefix.
std::string PrefixedLines(const char* prefix, const List& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += prefix + line + "\n";
    }
    return out;
}

// The messages' texts run together, cut into lines.
List MessageLines(const std::vector<LibraryMessage>& messages) {
    std::string text;
    for (const LibraryMessage& message : messages) {
        text += message.text;
    }
    return kolv::SplitList(text, '\n');
}

std::string TextItem(const Item& item) {
    std::string out = StatusTag(item.GetStatus()) + " " + item.title + "\n";
    for (const Fact& fact : item.facts) {
        out += TextFact(fact);
    }
    if (!item.messages.empty()) {
        out += "    library messages:\n" + PrefixedLines("      | ", MessageLines(item.messages));
    }
    out += PrefixedLines("    PROBLEM: ", item.problems);
    out += PrefixedLines("    WARNING: ", item.warnings);
    return out + PrefixedLines("    REPAIR: ", item.repair);
}

}  // namespace

int ExitStatus(const std::vector<Item>& items) {
    return WorstStatus(items) == Status::kProblem ? kProblem : kOk;
}

std::string FormatText(const std::vector<Item>& items) {
    std::string out;
    for (const Item& item : items) {
        out += TextItem(item);
    }
    return out + "\n" + StatusName(WorstStatus(items)) + ": " +
           std::to_string(CountWithStatus(items, Status::kProblem)) + " item(s) with problems, " +
           std::to_string(CountWithStatus(items, Status::kWarning)) +
           " with warnings (exit status " + std::to_string(ExitStatus(items)) + ")\n";
}

std::string FormatJson(const std::vector<Item>& items) {
    List members;
    for (const Item& item : items) {
        members.push_back(JsonItem(item));
    }
    return "{\n  \"status\": " + JsonString(StatusName(WorstStatus(items))) +
           ",\n  \"exit_status\": " + std::to_string(ExitStatus(items)) + ",\n  \"items\": {" +
           kolv::JoinList(members, ",") + "\n  }\n}\n";
}

}  // namespace kolvenv
