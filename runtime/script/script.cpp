#include "runtime/script/script.h"

#include "runtime/base/show_time.h"
#include "runtime/data/data_source.h"
#include "runtime/script/script_lines.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <set>

namespace glimmerq {

namespace {

constexpr double kMaxBeatsPerMinute = 1000.0;
constexpr int kMaxBeatsPerBar = 64;
constexpr size_t kMaxBarDigits = 6;
constexpr size_t kMaxBeatDigits = 3;

const char kSectionMark[] = "---";
constexpr size_t kMaxSectionTitle = 60;  // bytes; longer headings are prose, not names
const char kByteOrderMark[] = "\xEF\xBB\xBF";

struct Token {
    std::string text;
    int column = 0;   // 1-based, in bytes
    size_t end = 0;   // the byte after it (0-based), its closing quote included
    bool quoted = false;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string trim(const std::string& text, const char* blanks = " \t") {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// "# --- The tunnel, bars 27-32 (the drop): ..." -> "The tunnel"; empty for other lines.
std::string sectionTitle(const std::string& line) {
    const std::string text = trim(line);
    if (text.empty() || text[0] != '#') return std::string();
    const std::string rest = trim(text.substr(1));
    if (rest.compare(0, 3, kSectionMark) != 0) return std::string();
    std::string title = rest.substr(3);
    title = title.substr(0, title.find_first_of(",:("));
    title = trim(title, " \t-");
    return title.size() > kMaxSectionTitle ? std::string() : title;
}

TimeNotation notationOf(const std::string& time) {
    TimeNotation notation;
    if (!time.empty() && time[0] == '@') {
        notation.form = TimeNotation::Form::Bar;
        notation.withBeat = time.find('.') != std::string::npos;
        return notation;
    }
    const ShowTimeNotation written = showTimeNotation(time);
    notation.form = written.minutes ? TimeNotation::Form::MinutesSeconds : TimeNotation::Form::Seconds;
    notation.decimals = written.decimals;
    return notation;
}

LineKind kindOf(const std::string& verb) {
    if (verb == "tempo") return LineKind::Tempo;
    if (verb == "music") return LineKind::Music;
    if (verb == "end") return LineKind::End;
    return LineKind::Event;
}

// Fills a timed line's fields from its tokens; offset is where the tokenized text begins
// in the raw bytes (after a byte-order mark).
void describeFields(const std::vector<Token>& tokens, size_t offset, ScriptLine* line) {
    const auto range = [&](size_t index) {
        return index < tokens.size() ? ByteRange{offset + size_t(tokens[index].column - 1), offset + tokens[index].end}
                                     : ByteRange{};
    };
    line->time = range(0);
    line->verb = range(1);
    switch (line->kind) {
        case LineKind::Event:
            line->effect = range(2);
            line->name = range(3);
            line->value = range(4);
            break;
        case LineKind::Tempo:
            line->name = range(2);
            line->value = range(3);
            break;
        case LineKind::Music: line->value = range(2); break;
        default: break;
    }
}

// The sections named by the headings, by the events below them.
void findSections(Script* script) {
    std::vector<ScriptSection>& found = script->sections;
    size_t nextEvent = 0;
    for (const ScriptLine& line : script->lines) {
        if (line.kind != LineKind::Section) continue;
        while (nextEvent < script->events.size() && script->events[nextEvent].line <= line.number) ++nextEvent;
        if (nextEvent == script->events.size()) break;  // a heading after the last event names nothing
        found.push_back({sectionTitle(line.text()), script->events[nextEvent].timeMs, 0, line.number});
    }
    for (size_t i = 0; i < found.size(); ++i)
        found[i].endMs = i + 1 < found.size() ? found[i + 1].startMs : script->endMs();
    // Two headings before one event: the later one names it.
    found.erase(std::remove_if(found.begin(), found.end(), [](const ScriptSection& s) { return s.endMs <= s.startMs; }),
                found.end());
    size_t section = 0;
    for (ScriptLine& line : script->lines) {
        while (section < found.size() && found[section].line <= line.number) ++section;
        line.section = int(section) - 1;
    }
}

class Parser {
public:
    Parser(const std::vector<std::string>& effects, std::string scriptName)
        : effects_(effects), scriptName_(std::move(scriptName)), running_(effects.size(), false) {}

    std::optional<Script> parse(const std::string& text, std::string* error);

private:
    bool fail(int column, const std::string& what) {
        error_ = scriptName_ + ":" + std::to_string(line_) + ":" + std::to_string(column) + ": " + what;
        return false;
    }
    bool tokenize(const std::string& line, std::vector<Token>* tokens, size_t* commentAt);
    bool parseLine(const std::vector<Token>& tokens, Event* event, bool* isEvent);
    bool eventTime(const Token& token, int64_t* ms);
    bool barTime(const Token& token, int64_t* ms);
    bool tempoLine(const std::vector<Token>& tokens, int64_t timeMs);
    bool effectIndex(const Token& token, int* index);
    bool expectCount(const std::vector<Token>& tokens, size_t count, int endColumn);

    const std::vector<std::string>& effects_;
    std::string scriptName_;
    std::vector<bool> running_;
    std::string error_;
    int line_ = 0;
    int64_t lastTimeMs_ = 0;
    TempoMap tempo_;
};

bool Parser::tokenize(const std::string& line, std::vector<Token>* tokens, size_t* commentAt) {
    size_t i = 0;
    *commentAt = std::string::npos;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') {
            *commentAt = i;
            break;
        }
        Token token;
        token.column = int(i) + 1;
        if (line[i] == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                    token.text += line[i++];
                } else {
                    token.text += c;
                }
            }
            if (!closed) return fail(token.column, "unterminated string");
            if (i < line.size() && !isBlank(line[i]) && line[i] != '#')
                return fail(int(i) + 1, "expected a blank after the closing quote");
        } else {
            while (i < line.size() && !isBlank(line[i]) && line[i] != '#') token.text += line[i++];
        }
        token.end = i;
        tokens->push_back(std::move(token));
    }
    return true;
}

bool Parser::effectIndex(const Token& token, int* index) {
    const auto it = std::find(effects_.begin(), effects_.end(), token.text);
    if (token.quoted || it == effects_.end()) return fail(token.column, "unknown effect '" + token.text + "'");
    *index = int(it - effects_.begin());
    return true;
}

bool Parser::expectCount(const std::vector<Token>& tokens, size_t count, int endColumn) {
    if (tokens.size() < count) return fail(endColumn, "missing argument for '" + tokens[1].text + "'");
    if (tokens.size() > count) return fail(tokens[count].column, "unexpected '" + tokens[count].text + "'");
    return true;
}

// "@BAR" or "@BAR.BEAT" against the latest tempo line.
bool Parser::barTime(const Token& token, int64_t* ms) {
    const std::string& text = token.text;
    const size_t dot = text.find('.', 1);
    const std::string bar = text.substr(1, dot == std::string::npos ? std::string::npos : dot - 1);
    const std::string beat = dot == std::string::npos ? "1" : text.substr(dot + 1);
    if (!isDigits(bar) || !isDigits(beat) || bar.size() > kMaxBarDigits || beat.size() > kMaxBeatDigits)
        return fail(token.column, "bad time '" + text + "': expected a bar like @9 or a bar and beat like @9.3");
    if (tempo_.empty()) return fail(token.column, "bar time '" + text + "' before the first tempo line");
    const int barNumber = std::stoi(bar), beatNumber = std::stoi(beat);
    const int beatColumn = token.column + int(dot) + 1;
    const TempoGrid& grid = tempo_.latest();
    if (barNumber == 0) return fail(token.column + 1, "bars count from 1, not 0");
    if (beatNumber == 0) return fail(beatColumn, "beats count from 1, not 0");
    if (beatNumber > grid.beatsPerBar)
        return fail(beatColumn, "beat " + beat + " in a bar of " + std::to_string(grid.beatsPerBar) + " beats");
    if (barNumber < grid.firstBar)
        return fail(token.column + 1, "bar " + bar + " comes before the tempo line at line " +
                                          std::to_string(grid.line) + ", which starts bar " +
                                          std::to_string(grid.firstBar));
    *ms = tempo_.timeOf(barNumber, beatNumber);
    if (*ms > kMaxShowTimeMs) return fail(token.column, "bad time '" + text + "': too far in the future");
    return true;
}

bool Parser::eventTime(const Token& token, int64_t* ms) {
    if (!token.quoted && !token.text.empty() && token.text[0] == '@') return barTime(token, ms);
    std::string why = "a time takes no quotes";
    if (token.quoted || !parseShowTime(token.text, ms, &why)) return fail(token.column, "bad time '" + token.text + "': " + why);
    return true;
}

// TIME tempo BEATS_A_MINUTE BEATS_A_BAR
bool Parser::tempoLine(const std::vector<Token>& tokens, int64_t timeMs) {
    const Token& rate = tokens[2];
    const Token& bar = tokens[3];
    const size_t dot = rate.text.find('.');
    const std::string whole = rate.text.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : rate.text.substr(dot + 1);
    if (rate.quoted || !isDigits(whole) || whole.size() > 4 || (dot != std::string::npos && !isDigits(fraction)) ||
        fraction.size() > 3)
        return fail(rate.column, "bad tempo '" + rate.text + "': beats a minute like 120 or 127.5");
    const double beatsPerMinute = std::strtod(rate.text.c_str(), nullptr);
    if (beatsPerMinute <= 0.0) return fail(rate.column, "tempo must be above 0 beats a minute, not " + rate.text);
    if (beatsPerMinute > kMaxBeatsPerMinute)
        return fail(rate.column, "tempo " + rate.text + " is above 1000 beats a minute");
    if (bar.quoted || !isDigits(bar.text) || bar.text.size() > 2 || std::stoi(bar.text) < 1 ||
        std::stoi(bar.text) > kMaxBeatsPerBar)
        return fail(bar.column, "beats a bar must be a whole number from 1 to " + std::to_string(kMaxBeatsPerBar) +
                                    ", not '" + bar.text + "'");
    tempo_.add(timeMs, beatsPerMinute, std::stoi(bar.text), line_);
    return true;
}

bool Parser::parseLine(const std::vector<Token>& tokens, Event* event, bool* isEvent) {
    const Token& timeToken = tokens[0];
    *isEvent = true;
    if (!eventTime(timeToken, &event->timeMs)) return false;
    if (event->timeMs < lastTimeMs_)
        return fail(timeToken.column, "time " + timeToken.text + " goes backwards");
    lastTimeMs_ = event->timeMs;
    if (tokens.size() < 2) return fail(timeToken.column + int(timeToken.text.size()), "missing verb");

    const Token& verb = tokens[1];
    const int endColumn = tokens.back().column + int(tokens.back().text.size()) + (tokens.back().quoted ? 2 : 0);
    if (verb.text == "tempo") {
        *isEvent = false;
        return expectCount(tokens, 4, endColumn) && tempoLine(tokens, event->timeMs);
    }
    if (verb.text == "end") {
        event->verb = Event::Verb::End;
        return expectCount(tokens, 2, endColumn);
    }
    if (verb.text == "start") {
        event->verb = Event::Verb::Start;
        if (!expectCount(tokens, 5, endColumn) || !effectIndex(tokens[2], &event->effect)) return false;
        if (tokens[3].text != "layer") return fail(tokens[3].column, "expected 'layer', found '" + tokens[3].text + "'");
        const std::string& layer = tokens[4].text;
        const bool negative = !layer.empty() && layer[0] == '-';
        if (!isDigits(negative ? layer.substr(1) : layer) || layer.size() > 10)
            return fail(tokens[4].column, "bad layer '" + layer + "'");
        const long long value = std::stoll(layer);
        if (value < -1000000 || value > 1000000) return fail(tokens[4].column, "layer " + layer + " out of range");
        event->layer = int(value);
        if (running_[event->effect]) return fail(tokens[2].column, "effect '" + tokens[2].text + "' is already running");
        running_[event->effect] = true;
        return true;
    }
    if (verb.text == "stop") {
        event->verb = Event::Verb::Stop;
        if (!expectCount(tokens, 3, endColumn) || !effectIndex(tokens[2], &event->effect)) return false;
        if (!running_[event->effect]) return fail(tokens[2].column, "effect '" + tokens[2].text + "' is not running");
        running_[event->effect] = false;
        return true;
    }
    if (verb.text == "music") {
        event->verb = Event::Verb::Music;
        if (!expectCount(tokens, 3, endColumn)) return false;
        const Token& member = tokens[2];
        if (member.quoted || !isSafeMemberName(member.text))
            return fail(member.column, "bad member name '" + member.text + "'");
        event->text = member.text;
        return true;
    }
    if (verb.text == "int" || verb.text == "float" || verb.text == "string") {
        if (!expectCount(tokens, 5, endColumn) || !effectIndex(tokens[2], &event->effect)) return false;
        if (tokens[3].quoted || tokens[3].text.empty()) return fail(tokens[3].column, "bad parameter name");
        event->name = tokens[3].text;
        const Token& value = tokens[4];
        if (verb.text == "string") {
            event->verb = Event::Verb::String;
            if (!value.quoted) return fail(value.column, "expected a quoted text");
            event->text = value.text;
            return true;
        }
        if (value.quoted) return fail(value.column, "expected a number, found a text");
        errno = 0;
        char* end = nullptr;
        if (verb.text == "int") {
            event->verb = Event::Verb::Int;
            const long long v = std::strtoll(value.text.c_str(), &end, 10);
            if (value.text.empty() || *end != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
                return fail(value.column, "bad integer '" + value.text + "'");
            event->intValue = int(v);
        } else {
            event->verb = Event::Verb::Float;
            const float v = std::strtof(value.text.c_str(), &end);
            if (value.text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(v))
                return fail(value.column, "bad number '" + value.text + "'");
            event->floatValue = v;
        }
        return true;
    }
    return fail(verb.column, "unknown verb '" + verb.text + "'");
}

std::optional<Script> Parser::parse(const std::string& text, std::string* error) {
    Script script;
    size_t position = 0;
    bool ended = false;
    while (position < text.size()) {
        size_t newline = text.find('\n', position);
        const size_t lineEnd = newline == std::string::npos ? text.size() : newline + 1;
        ScriptLine described;
        described.raw = text.substr(position, lineEnd - position);
        position = lineEnd;
        described.number = ++line_;
        // A UTF-8 byte-order mark is allowed before the first line.
        const size_t offset = line_ == 1 && described.raw.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
        std::string line = described.raw.substr(offset);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        described.lineEnding = described.raw.size() - offset - line.size();
        if (line.find('\0') != std::string::npos) {
            fail(int(line.find('\0')) + 1, "unexpected NUL byte");
            *error = error_;
            return std::nullopt;
        }

        std::vector<Token> tokens;
        size_t commentAt = std::string::npos;
        if (!tokenize(line, &tokens, &commentAt)) {
            *error = error_;
            return std::nullopt;
        }
        if (commentAt != std::string::npos) described.comment = {offset + commentAt, offset + line.size()};
        if (tokens.empty()) {
            described.kind = commentAt == std::string::npos  ? LineKind::Blank
                             : sectionTitle(line).empty() ? LineKind::Comment
                                                          : LineKind::Section;
            script.lines.push_back(std::move(described));
            continue;
        }
        if (ended) {
            fail(tokens[0].column, "event after 'end'");
            *error = error_;
            return std::nullopt;
        }
        Event event;
        event.line = line_;
        bool isEvent = true;
        if (!parseLine(tokens, &event, &isEvent)) {
            *error = error_;
            return std::nullopt;
        }
        described.kind = kindOf(tokens[1].text);
        describeFields(tokens, offset, &described);
        described.notation = notationOf(tokens[0].text);
        described.timeMs = event.timeMs;
        script.lines.push_back(std::move(described));
        if (!isEvent) continue;
        ended = event.verb == Event::Verb::End;
        script.lines.back().event = int(script.events.size());
        script.events.push_back(std::move(event));
    }
    if (script.events.empty()) {
        line_ = 1;  // nothing to point at: an empty file, or comments only
        fail(1, "the script has no events (it needs at least an 'end')");
        *error = error_;
        return std::nullopt;
    }
    if (!ended) {
        // The end is missing after the last line (a byte-order mark alone is no line).
        line_ = text == kByteOrderMark ? 1 : line_ + 1;
        fail(1, "missing 'end'");
        *error = error_;
        return std::nullopt;
    }
    script.tempo = std::move(tempo_);
    findSections(&script);
    return script;
}

}  // namespace

std::optional<Script> parseScript(const std::string& text, const std::vector<std::string>& effects,
                                  std::string* error, const std::string& scriptName) {
    return Parser(effects, scriptName).parse(text, error);
}

}  // namespace glimmerq
