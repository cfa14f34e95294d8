#include "eng/design/StructuralRank.h"

#include <limits>
#include <queue>

int StructuralRank(int rows, int columns, const std::vector<std::pair<int, int>>& entries) {
    if (rows <= 0 || columns <= 0) return 0;
    // Columns' rows, in compressed form.
    std::vector<int> start(static_cast<std::size_t>(columns) + 1, 0);
    for (const auto& [r, c] : entries)
        if (r >= 0 && r < rows && c >= 0 && c < columns) ++start[static_cast<std::size_t>(c) + 1];
    for (int c = 0; c < columns; ++c) start[c + 1] += start[c];
    std::vector<int> adjacent(static_cast<std::size_t>(start[columns]));
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (const auto& [r, c] : entries)
        if (r >= 0 && r < rows && c >= 0 && c < columns) adjacent[static_cast<std::size_t>(fill[c]++)] = r;

    constexpr int kNone = -1;
    constexpr int kInfinite = std::numeric_limits<int>::max();
    std::vector<int> rowMate(static_cast<std::size_t>(rows), kNone), columnMate(static_cast<std::size_t>(columns), kNone);
    std::vector<int> layer(static_cast<std::size_t>(columns), kInfinite);
    int matched = 0;

    // Phases: a breadth-first search layers the columns from the free ones along alternating
    // paths; depth-first searches (with an explicit stack) then augment along shortest paths.
    std::vector<int> next(static_cast<std::size_t>(columns), 0);
    std::vector<int> stack;
    for (;;) {
        std::queue<int> queue;
        for (int c = 0; c < columns; ++c) {
            layer[c] = columnMate[c] == kNone ? 0 : kInfinite;
            if (columnMate[c] == kNone) queue.push(c);
        }
        bool reachedFree = false;
        while (!queue.empty()) {
            const int c = queue.front();
            queue.pop();
            for (int k = start[c]; k < start[c + 1]; ++k) {
                const int mate = rowMate[adjacent[k]];
                if (mate == kNone) reachedFree = true;
                else if (layer[mate] == kInfinite) {
                    layer[mate] = layer[c] + 1;
                    queue.push(mate);
                }
            }
        }
        if (!reachedFree) break;
        for (int c = 0; c < columns; ++c) next[c] = start[c];
        for (int free = 0; free < columns; ++free) {
            if (columnMate[free] != kNone || layer[free] != 0) continue;
            stack.assign(1, free);
            while (!stack.empty()) {
                const int c = stack.back();
                bool advanced = false;
                while (next[c] < start[c + 1]) {
                    const int r = adjacent[next[c]++];
                    const int mate = rowMate[r];
                    if (mate == kNone) {
                        // Augment along the stack: each column takes the row it stepped through.
                        int row = r;
                        for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
                            const int col = *it;
                            const int previous = columnMate[col];
                            columnMate[col] = row;
                            rowMate[row] = col;
                            row = previous;
                        }
                        ++matched;
                        stack.clear();
                        advanced = true;
                        break;
                    }
                    if (layer[mate] == layer[c] + 1) {
                        stack.push_back(mate);
                        advanced = true;
                        break;
                    }
                }
                if (!advanced) {
                    layer[c] = kInfinite;  // a dead end for the rest of the phase
                    stack.pop_back();
                }
            }
        }
    }
    return matched;
}
