// Second covers: the local changes of a cover that keep every path's ends and fill every cell.

#include "pairpath/sampler/second_covers.hpp"

namespace pairpath {

namespace {

bool follows(const Places& places, int cell, int after) {
    return places.pathOf[std::size_t(cell)] == places.pathOf[std::size_t(after)] &&
           places.place[std::size_t(after)] == places.place[std::size_t(cell)] + 1;
}

// The neighbour `to` of `from` that lies on the grid: one row or one column apart, not both.
bool onGrid(int from, int to, int side) {
    return to >= 0 && to < side * side && (to / side == from / side || to % side == from % side);
}

// The cell after `cell` along its path, or -1 at the path's last end.
int nextAlong(const Places& places, int cell, int side) {
    for (const int step : {1, -1, side, -side}) {
        if (onGrid(cell, cell + step, side) && follows(places, cell, cell + step)) {
            return cell + step;
        }
    }
    return -1;
}

} // namespace

int otherCoversAtLeast(const Places& places, int side) {
    int count = 0;
    for (int first = 0; first < side * side; ++first) {
        const int second = nextAlong(places, first, side);
        const int third = second < 0 ? -1 : nextAlong(places, second, side);
        const int last = third < 0 ? -1 : nextAlong(places, third, side);
        // A turn: the fourth cell comes back beside the first.
        if (last < 0 || last - first != third - second) continue;
        const int out = second - first; // from the turn's side to its far side
        const int beyondSecond = second + out;
        const int beyondThird = third + out;
        if (onGrid(second, beyondSecond, side) && onGrid(third, beyondThird, side) &&
            places.pathOf[std::size_t(beyondSecond)] != places.pathOf[std::size_t(second)] &&
            (follows(places, beyondSecond, beyondThird) ||
             follows(places, beyondThird, beyondSecond)))
            ++count;
    }
    return count;
}

bool hasParallelPass(const Places& places, int side) {
    for (int cell = 0; cell < side * side; ++cell) {
        const int next = nextAlong(places, cell, side);
        if (next < 0) continue;
        const int along = next - cell;
        for (const int across : {1, -1, side, -side}) {
            if (across == along || across == -along) continue;
            const int beside = cell + across;
            if (onGrid(cell, beside, side) && onGrid(next, next + across, side) &&
                places.pathOf[std::size_t(beside)] == places.pathOf[std::size_t(cell)] &&
                follows(places, beside, next + across))
                return true;
        }
    }
    return false;
}

bool showsAnotherCover(const Cover& cover, int size) {
    Places places;
    for (std::size_t route = 0; route < cover.size(); ++route) {
        for (std::size_t at = 0; at < cover[route].size(); ++at) {
            const int code = cover[route][at];
            const auto cell = std::size_t(rowOf(code) * size + columnOf(code));
            places.pathOf[cell] = int(route);
            places.place[cell] = int(at);
        }
    }
    return otherCoversAtLeast(places, size) > 0 || hasParallelPass(places, size);
}

} // namespace pairpath
