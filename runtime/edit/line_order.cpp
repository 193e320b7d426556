#include "runtime/edit/line_order.h"

#include <algorithm>
#include <map>

namespace glimmerq {

std::vector<size_t> orderLines(const std::vector<PlacedLine>& lines) {
    std::vector<size_t> kept;  // indices of unmoved lines, in order
    for (size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].moved && !lines[i].fresh) kept.push_back(i);

    // The kept line a placed line goes right after: -1 for the very beginning.
    std::map<long, std::vector<size_t>> after;
    for (size_t i = 0; i < lines.size(); ++i) {
        const PlacedLine& line = lines[i];
        if (!line.moved && !line.fresh) continue;
        // kept[slot - 1] is the last kept line above where it stands now.
        const long slot = long(std::lower_bound(kept.begin(), kept.end(), i) - kept.begin());
        long previousTimed = -1, nextTimed = -1;
        for (long k = slot - 1; k >= 0 && previousTimed < 0; --k)
            if (lines[kept[size_t(k)]].timed) previousTimed = k;
        for (long k = slot; k < long(kept.size()) && nextTimed < 0; ++k)
            if (lines[kept[size_t(k)]].timed) nextTimed = k;
        const bool fits = !line.fresh &&
                          (previousTimed < 0 || lines[kept[size_t(previousTimed)]].timeMs <= line.timeMs) &&
                          (nextTimed < 0 || line.timeMs <= lines[kept[size_t(nextTimed)]].timeMs) &&
                          (nextTimed >= 0 || !line.timed);  // nothing timed stays below the end
        if (fits || !line.timed) {
            after[slot - 1].push_back(i);
            continue;
        }
        long anchor = -1, firstTimed = -1;
        for (long k = 0; k < long(kept.size()); ++k) {
            const PlacedLine& other = lines[kept[size_t(k)]];
            if (!other.timed || other.end) continue;
            if (firstTimed < 0) firstTimed = k;
            if (line.stop ? other.timeMs < line.timeMs : other.timeMs <= line.timeMs) anchor = k;
        }
        if (anchor < 0) {
            // Before every timed line: right above the first one (or the end).
            long first = firstTimed;
            for (long k = 0; first < 0 && k < long(kept.size()); ++k)
                if (lines[kept[size_t(k)]].timed) first = k;
            anchor = first < 0 ? long(kept.size()) - 1 : first - 1;
        }
        after[anchor].push_back(i);
    }

    std::vector<size_t> order;
    const auto place = [&](long slot) {
        auto found = after.find(slot);
        if (found == after.end()) return;
        std::vector<size_t>& group = found->second;
        std::stable_sort(group.begin(), group.end(), [&](size_t a, size_t b) {
            if (!lines[a].timed || !lines[b].timed) return false;
            return lines[a].timeMs < lines[b].timeMs;
        });
        order.insert(order.end(), group.begin(), group.end());
    };
    place(-1);
    for (size_t k = 0; k < kept.size(); ++k) {
        order.push_back(kept[k]);
        place(long(k));
    }
    return order;
}

}  // namespace glimmerq
