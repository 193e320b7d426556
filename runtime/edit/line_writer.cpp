#include "runtime/edit/line_writer.h"

#include "runtime/base/show_time.h"

namespace glimmerq {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string writeTime(int64_t timeMs, const TimeNotation& like, const TempoMap& tempo) {
    if (like.form == TimeNotation::Form::Bar) {
        const auto where = tempo.at(timeMs);
        if (where && where->beatFraction == 0.0) {
            std::string text = "@" + std::to_string(where->bar);
            if (where->beat != 1 || like.withBeat) text += "." + std::to_string(where->beat);
            return text;
        }
        return formatShowTime(timeMs, ShowTimeNotation{false, 0});
    }
    return formatShowTime(timeMs, ShowTimeNotation{like.form == TimeNotation::Form::MinutesSeconds, like.decimals});
}

std::string replaceField(const std::string& raw, ByteRange field, const std::string& text) {
    size_t blanksEnd = field.end;
    while (blanksEnd < raw.size() && isBlank(raw[blanksEnd])) ++blanksEnd;
    const bool followed = blanksEnd < raw.size() && raw[blanksEnd] != '\r' && raw[blanksEnd] != '\n';
    std::string blanks = raw.substr(field.end, blanksEnd - field.end);
    if (followed && blanks.find('\t') == std::string::npos) {
        const long width = long(blanks.size()) + long(field.size()) - long(text.size());
        blanks.assign(size_t(std::max(1L, width)), ' ');
    }
    return raw.substr(0, field.begin) + text + blanks + raw.substr(blanksEnd);
}

std::string lineLike(const ScriptLine& like, const std::vector<std::string>& words) {
    std::string line;
    for (size_t i = 0; i < words.size(); ++i) {
        line += words[i];
        if (i + 1 == words.size()) break;
        if (i == 0 && !like.time.empty() && !like.verb.empty()) {
            // The blanks between the time and the verb, fitted to this time's width.
            const ByteRange gap{like.time.end, like.verb.begin};
            const std::string blanks = like.raw.substr(gap.begin, gap.size());
            if (blanks.find('\t') != std::string::npos)
                line += blanks;
            else
                line.append(size_t(std::max(1L, long(like.verb.begin) - long(like.time.begin) - long(words[0].size()))), ' ');
        } else {
            line += ' ';
        }
    }
    const std::string ending = like.lineEnding ? like.raw.substr(like.raw.size() - like.lineEnding) : "\n";
    return line + ending;
}

}  // namespace glimmerq
