#include "runtime/edit/line_merge.h"

#include <algorithm>

namespace glimmerq {

namespace {

// Base lines [begin, end) replaced by lines [with, withEnd) of the changed text.
struct Hunk {
    size_t begin, end;
    size_t with, withEnd;
};

// For each base line, its index in changed or -1; false when the texts are too far apart.
bool match(const std::vector<std::string>& base, const std::vector<std::string>& changed, std::vector<long>* where) {
    where->assign(base.size(), -1);
    size_t head = 0;
    while (head < base.size() && head < changed.size() && base[head] == changed[head]) {
        (*where)[head] = long(head);
        ++head;
    }
    size_t tail = 0;
    while (tail < base.size() - head && tail < changed.size() - head &&
           base[base.size() - 1 - tail] == changed[changed.size() - 1 - tail]) {
        (*where)[base.size() - 1 - tail] = long(changed.size() - 1 - tail);
        ++tail;
    }
    const size_t n = base.size() - head - tail, m = changed.size() - head - tail;
    if (n == 0 || m == 0) return true;
    if (n > kMaxMergedLines || m > kMaxMergedLines) return false;
    // Longest common subsequence of the middles, lengths from the back.
    std::vector<std::vector<unsigned short>> length(n + 1, std::vector<unsigned short>(m + 1, 0));
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            length[i][j] = base[head + i] == changed[head + j] ? length[i + 1][j + 1] + 1
                                                               : std::max(length[i + 1][j], length[i][j + 1]);
    for (size_t i = 0, j = 0; i < n && j < m;) {
        if (base[head + i] == changed[head + j]) {
            (*where)[head + i] = long(head + j);
            ++i, ++j;
        } else if (length[i + 1][j] >= length[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return true;
}

std::vector<Hunk> hunksOf(const std::vector<long>& where, size_t changedSize) {
    std::vector<Hunk> hunks;
    size_t i = 0, j = 0;
    while (i < where.size() || j < changedSize) {
        if (i < where.size() && where[i] == long(j)) {
            ++i, ++j;
            continue;
        }
        Hunk hunk{i, i, j, j};
        while (i < where.size() && where[i] < 0) ++i;
        hunk.end = i;
        hunk.withEnd = i < where.size() ? size_t(where[i]) : changedSize;
        j = hunk.withEnd;
        hunks.push_back(hunk);
    }
    return hunks;
}

bool meet(const Hunk& a, const Hunk& b) {
    if (a.begin < b.end && b.begin < a.end) return true;  // a shared line
    const bool aInserts = a.begin == a.end, bInserts = b.begin == b.end;
    return (aInserts && b.begin <= a.begin && a.begin <= b.end) || (bInserts && a.begin <= b.begin && b.begin <= a.end);
}

std::vector<std::string> linesOf(const std::vector<std::string>& lines, size_t begin, size_t end) {
    return std::vector<std::string>(lines.begin() + long(begin), lines.begin() + long(end));
}

}  // namespace

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t position = 0; position < text.size();) {
        const size_t newline = text.find('\n', position);
        const size_t end = newline == std::string::npos ? text.size() : newline + 1;
        lines.push_back(text.substr(position, end - position));
        position = end;
    }
    return lines;
}

std::vector<int> matchLines(const std::string& base, const std::string& changed) {
    std::vector<long> where;
    if (!match(splitLines(base), splitLines(changed), &where)) return {};
    std::vector<int> numbers;
    for (long index : where) numbers.push_back(index < 0 ? 0 : int(index) + 1);
    return numbers;
}

std::optional<std::string> mergeLines(const std::string& base, const std::string& ours, const std::string& theirs) {
    const std::vector<std::string> baseLines = splitLines(base), ourLines = splitLines(ours),
                                   theirLines = splitLines(theirs);
    std::vector<long> ourWhere, theirWhere;
    if (!match(baseLines, ourLines, &ourWhere) || !match(baseLines, theirLines, &theirWhere)) return std::nullopt;
    const std::vector<Hunk> ourHunks = hunksOf(ourWhere, ourLines.size());
    std::vector<Hunk> theirHunks = hunksOf(theirWhere, theirLines.size());

    // Each change with its side, in base order; the same change on both sides counts once.
    struct Change {
        Hunk hunk;
        std::vector<std::string> lines;
    };
    std::vector<Change> changes;
    for (const Hunk& hunk : ourHunks) changes.push_back({hunk, linesOf(ourLines, hunk.with, hunk.withEnd)});
    for (const Hunk& theirs : theirHunks) {
        const std::vector<std::string> lines = linesOf(theirLines, theirs.with, theirs.withEnd);
        bool same = false;
        for (const Hunk& ours : ourHunks) {
            if (!meet(ours, theirs)) continue;
            if (ours.begin != theirs.begin || ours.end != theirs.end ||
                linesOf(ourLines, ours.with, ours.withEnd) != lines)
                return std::nullopt;
            same = true;
        }
        if (!same) changes.push_back({theirs, lines});
    }
    std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) { return a.hunk.begin < b.hunk.begin; });

    std::string merged;
    size_t next = 0;
    for (const Change& change : changes) {
        for (; next < change.hunk.begin; ++next) merged += baseLines[next];
        for (const std::string& line : change.lines) merged += line;
        next = change.hunk.end;
    }
    for (; next < baseLines.size(); ++next) merged += baseLines[next];
    return merged;
}

}  // namespace glimmerq
