// Pricing of the area LP: which candidate columns would lower the area under the row prices of the
// restricted model, and the lower bound those prices prove.
//
// A column (h, i, c, j) pays when its price is below the row prices of its two rows. The
// candidates are every hot row with every cold row at or below it, far more than ever pay once
// the prices settle, so they are judged a whole interval pair at a time before any is looked at
// singly. For rows on the common temporary approach a column's price is (r_h + r_c) t, where t is
// the inverse of the interval pair's mean temperature difference (times F for shell-and-tube
// exchange): the column pays only when r_h t - u_h < y_c - r_c t. The largest right-hand side over
// the cold rows of interval j, worked out once for each hot interval, settles for every hot row of
// that interval, and for the interval pair as a whole, whether any of its columns can pay. The
// countercurrent price is judged first as it needs no F-factor. Only the pairs that stay open are
// priced column by column, exactly as a walk over every candidate would price them: a candidate
// passed over is one that walk would have turned away, so the columns brought in and the lower
// bound are the same. Rows off the common approach are always priced column by column.
//
// Column by column, a candidate matters only if its reduced cost falls below 0 and below the
// fourth best of its hot row or of its cold row so far (the lists of the best and the row's most
// negative reduced cost are all it can change). For hot rows of the common shift the reduced cost
// is first estimated with a product by the inverse difference in place of the quotient, and the
// candidate is passed over when the estimate clears that threshold by a margin hundreds of times
// the estimate's rounding; the same estimate for a whole interval pair (the least of
// r_c / D - u_c over its common cold rows, worked out once per hot interval) passes over the pair
// when even its best column costs more than its rows pay. The quotient then prices what is left,
// exactly as before, so the columns, their order and the lower bound stay to the last bit.
#include "eng/targeting/AreaLP.h"

#include "eng/targeting/AreaLPPrice.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace arealp;

namespace {

// The few most negative reduced costs seen, with their pair of rows.
struct BestFew {
    static constexpr int Size = kBestPerRow;
    double reduced[Size] = {0.0, 0.0, 0.0, 0.0};
    int hot[Size] = {-1, -1, -1, -1};
    int cold[Size] = {-1, -1, -1, -1};
    void Offer(double r, int h, int c) {
        if (!(r < reduced[Size - 1])) return;
        int k = Size - 1;
        while (k > 0 && r < reduced[k - 1]) {
            reduced[k] = reduced[k - 1];
            hot[k] = hot[k - 1];
            cold[k] = cold[k - 1];
            --k;
        }
        reduced[k] = r;
        hot[k] = h;
        cold[k] = c;
    }
};

// The slack of the interval test, relative to the size of its terms: far beyond the rounding of
// the few operations of a price, far below any reduced cost that lets a column in.
constexpr double kSlack = 1e-9;
// The margin of the screen of single candidates, relative to the size of price and row prices: a
// few hundred times the rounding of the product against the quotient.
constexpr double kScreenMargin = 1e-13;

// One cold interval seen from the hot interval in hand: the inverse mean temperature differences
// (countercurrent, stretched by the pricing tolerance, and shell-and-tube) and the largest
// y_c - r_c t of its cold rows under each.
struct PairBound {
    double tCountercurrent = 0.0, bestCountercurrent = 0.0;
    double tShellAndTube = 0.0, bestShellAndTube = 0.0;
    bool shellAndTubeReady = false;
    bool open = true;
};

}  // namespace

std::size_t AreaLP::PriceColumns(const std::vector<double>& prices) {
    const int n = m_nIntervalCount;
    const std::size_t before = m_pModel->columns.size();
    // The restricted solution's prices, each hot row's lowered by the most negative reduced cost of
    // its columns, are prices of the whole model: the area they give is a lower bound.
    m_dLowerBound = m_pModel->dObjectiveValue;
    m_dCandidatesPriced = 0;
    // The cold rows of every interval side by side (resistance, price, shift), so that the look at
    // each candidate is a few multiplications; segments on the common temporary approach share
    // one mean temperature difference per interval pair, worked out once per hot interval.
    const double common = 2.0 * (0.5 * TemporaryDTmin);
    std::vector<std::size_t> coldStart(static_cast<std::size_t>(n) + 1, 0);
    std::vector<double> coldResistance, coldPrice, coldShift;
    std::vector<const LoadRow*> coldRow;
    // Whether each cold row is on the common approach (only those are judged a whole interval at
    // a time), the rows of each interval that are not (always priced singly), and the size of each
    // interval's prices and resistances (for the slack).
    std::vector<char> coldCommon;
    std::vector<std::size_t> ownStart(static_cast<std::size_t>(n) + 1, 0), ownRows;
    std::vector<double> coldScale(static_cast<std::size_t>(n), 0.0);
    for (int j = 0; j < n; ++j) {
        const std::size_t jj = static_cast<std::size_t>(j);
        coldStart[jj] = coldRow.size();
        ownStart[jj] = ownRows.size();
        for (const LoadRow& cold : m_coldRowsOf[jj]) {
            coldResistance.push_back(cold.resistance);
            coldPrice.push_back(prices[static_cast<std::size_t>(cold.row)]);
            coldShift.push_back(Shift(*cold.segment));
            coldRow.push_back(&cold);
            coldCommon.push_back(OnCommonApproach(*cold.segment) ? 1 : 0);
            if (!coldCommon.back()) ownRows.push_back(coldRow.size() - 1);
            coldScale[jj] = std::max({coldScale[jj], std::fabs(coldPrice.back()), std::fabs(cold.resistance)});
        }
    }
    coldStart[static_cast<std::size_t>(n)] = coldRow.size();
    ownStart[static_cast<std::size_t>(n)] = ownRows.size();
    std::vector<BestFew> bestOfCold(coldRow.size());
    std::vector<double> commonMTD(static_cast<std::size_t>(n), 0.0);
    std::vector<PairBound> bounds(static_cast<std::size_t>(n));
    const double stretch = 1.0 + kPricingTolerance;
    // For hot rows of the common shift: the mean temperature difference of every cold row at or
    // below the hot interval, as a column's price takes it, and its inverse for the screen.
    const double commonShift = 0.5 * TemporaryDTmin;
    std::vector<double> coldMTD(coldRow.size(), 0.0), coldInverseMTD(coldRow.size(), 0.0);
    // The fourth best reduced cost of each cold row so far (0 while it has fewer).
    std::vector<double> coldWorst(coldRow.size(), 0.0);
    // Per interval pair, for a hot row on the common approach and the common cold rows of interval
    // j: the inverse of the difference that prices their columns, and the least of r_c / D - u_c
    // over those rows with the size of its terms (the settling of the whole pair at once).
    std::vector<double> commonInverse(static_cast<std::size_t>(n), 0.0), pairLeast(static_cast<std::size_t>(n), 0.0),
        pairSize(static_cast<std::size_t>(n), 0.0);

    auto bestOver = [&](std::size_t jj, double t) {
        double best = -std::numeric_limits<double>::infinity();
        for (std::size_t q = coldStart[jj]; q < coldStart[jj + 1]; ++q)
            if (coldCommon[q]) best = std::max(best, coldPrice[q] - coldResistance[q] * t);
        return best;
    };
    auto closedBy = [&](double r, double u, double t, double best, std::size_t jj) {
        const double scale = std::fabs(r * t) + std::fabs(u) + coldScale[jj] * (1.0 + t);
        return r * t - u > best + kSlack * scale;
    };
    // Whether no column of the hot row (resistance r, price u) to cold interval j can pay.
    auto rowClosed = [&](int i, double r, double u, std::size_t jj) {
        PairBound& b = bounds[jj];
        if (closedBy(r, u, b.tCountercurrent, b.bestCountercurrent, jj)) return true;
        if (m_nKind != ShellAndTube) return false;
        if (!b.shellAndTubeReady) {
            const double F = CommonFFactor(i, static_cast<int>(jj));
            b.tShellAndTube = 1.0 / std::max(commonMTD[jj] * F, kMinimumMTD);
            b.bestShellAndTube = bestOver(jj, b.tShellAndTube);
            b.shellAndTubeReady = true;
        }
        return closedBy(r, u, b.tShellAndTube, b.bestShellAndTube, jj);
    };

    // The shell-and-tube mean temperature difference of a pair on the common approach: the
    // segments' shifts added one after the other, as a column's own price adds them, times F.
    std::vector<double> shellAndTubeDifference(static_cast<std::size_t>(n), -1.0);
    auto shellAndTubeMTD = [&](int i, std::size_t jj) {
        double& d = shellAndTubeDifference[jj];
        if (d < 0.0) {
            const double shift = 0.5 * TemporaryDTmin;
            const int j = static_cast<int>(jj);
            d = MeanTemperatureDifference(TopDifference(i, j) + shift + shift, BottomDifference(i, j) + shift + shift) *
                CommonFFactor(i, j);
        }
        return d;
    };
    // Counted apart from the member, which the loop would otherwise read and write at every step.
    double candidatesPriced = 0.0;
    int cachedInterval = -1;
    for (std::size_t p = 0; p < m_hotRows.size(); ++p) {
        const LoadRow& hot = m_hotRows[p];
        const double uh = prices[static_cast<std::size_t>(hot.row)];
        double mostNegative = 0.0;
        BestFew bestOfHot;
        if (hot.interval != cachedInterval) {
            cachedInterval = hot.interval;
            // The hot rows of an interval follow one another.
            std::size_t last = p;
            while (last + 1 < m_hotRows.size() && m_hotRows[last + 1].interval == hot.interval) ++last;
            for (int j = hot.interval; j < n; ++j) {
                const std::size_t jj = static_cast<std::size_t>(j);
                commonMTD[jj] = MeanTemperatureDifference(TopDifference(hot.interval, j) + common,
                                                          BottomDifference(hot.interval, j) + common);
                shellAndTubeDifference[jj] = -1.0;
                PairBound& b = bounds[jj];
                b = PairBound();
                b.tCountercurrent = stretch / commonMTD[jj];
                b.bestCountercurrent = bestOver(jj, b.tCountercurrent);
                bool open = false;
                for (std::size_t h = p; h <= last && !open; ++h) {
                    const LoadRow& other = m_hotRows[h];
                    open = !OnCommonApproach(*other.segment) ||
                           !rowClosed(hot.interval, other.resistance, prices[static_cast<std::size_t>(other.row)], jj);
                }
                b.open = open;
                for (std::size_t q = coldStart[jj]; q < coldStart[jj + 1]; ++q) {
                    const double shifts = commonShift + coldShift[q];
                    coldMTD[q] = shifts == common ? commonMTD[jj]
                                                  : MeanTemperatureDifference(TopDifference(hot.interval, j) + shifts,
                                                                              BottomDifference(hot.interval, j) + shifts);
                    coldInverseMTD[q] = 1.0 / coldMTD[q];
                }
                const double inverse = m_nKind == ShellAndTube
                                           ? 1.0 / std::max(shellAndTubeMTD(hot.interval, jj), kMinimumMTD)
                                           : 1.0 / commonMTD[jj];
                double least = std::numeric_limits<double>::infinity(), size = 0.0;
                for (std::size_t q = coldStart[jj]; q < coldStart[jj + 1]; ++q) {
                    if (!coldCommon[q]) continue;
                    const double a = coldResistance[q] * inverse;
                    least = std::min(least, a - coldPrice[q]);
                    size = std::max(size, a + std::fabs(coldPrice[q]));
                }
                commonInverse[jj] = inverse;
                pairLeast[jj] = least;
                pairSize[jj] = size;
            }
        }
        const double dh = Shift(*hot.segment);
        const bool screened = dh == commonShift;
        const bool hotCommon = OnCommonApproach(*hot.segment);
        int j = hot.interval;
        auto priceOne = [&](std::size_t q) {
            // Countercurrent price first: F never lowers the price, so a column that does not
            // pay countercurrent does not pay at all.
            const std::size_t jj = static_cast<std::size_t>(j);
            const double shifts = dh + coldShift[q];
            const double mtd = screened           ? coldMTD[q]
                               : shifts == common ? commonMTD[jj]
                                                  : MeanTemperatureDifference(TopDifference(hot.interval, j) + shifts,
                                                                              BottomDifference(hot.interval, j) + shifts);
            const double lower = (hot.resistance + coldResistance[q]) / mtd;
            const double y = uh + coldPrice[q];
            if (lower - y >= -kPricingTolerance * lower) return;
            const LoadRow& cold = *coldRow[q];
            if (!MayMatch(hot, cold)) return;
            double F = 1.0;
            // On the common approach the pair's F-factor and difference are those of the interval
            // pair, taken as the column's own price takes them.
            const double price = m_nKind != ShellAndTube ? lower
                                 : hotCommon && coldCommon[q]
                                     ? (hot.resistance + cold.resistance) / std::max(shellAndTubeMTD(hot.interval, jj), kMinimumMTD)
                                     : Coefficient(hot, cold, F);
            const double reduced = price - y;
            mostNegative = std::min(mostNegative, reduced);
            if (reduced >= -kPricingTolerance * price) return;
            bestOfHot.Offer(reduced, static_cast<int>(p), static_cast<int>(q));
            bestOfCold[q].Offer(reduced, static_cast<int>(p), static_cast<int>(q));
            coldWorst[q] = bestOfCold[q].reduced[BestFew::Size - 1];
        };
        // Most candidates are far from paying. For a hot row of the common shift a product with
        // an inverse difference gives the candidate's reduced cost to within rounding far below
        // the screen's margin; a candidate whose reduced cost is surely no lower than the fourth
        // best of its hot row and of its cold row (never above 0) changes nothing: it neither
        // lowers the row's most negative reduced cost nor enters either list of the best. Where
        // the price needs a column's own F-factor only the countercurrent price is screened. The
        // others are priced by the quotients above, as every candidate was before the screen.
        auto mayCount = [&](std::size_t q, std::size_t jj) {
            const double sum = hot.resistance + coldResistance[q];
            const double y = uh + coldPrice[q];
            double inverse = coldInverseMTD[q];
            if (m_nKind == ShellAndTube) {
                if (!hotCommon || !coldCommon[q]) {
                    const double a = sum * inverse;
                    return !(a - y + kPricingTolerance * a > kScreenMargin * (std::fabs(a) + std::fabs(y)));
                }
                inverse = commonInverse[jj];
            }
            const double a = sum * inverse;
            const double worst = std::max(bestOfHot.reduced[BestFew::Size - 1], coldWorst[q]);
            return !(a - y > worst + kScreenMargin * (std::fabs(a) + std::fabs(y)));
        };
        // Whether every column of a hot row on the common approach to the common cold rows of
        // interval j has a reduced cost above 0 (rounding and all): none of them changes anything.
        auto pairSettled = [&](std::size_t jj) {
            const double a = hot.resistance * commonInverse[jj];
            return a - uh + pairLeast[jj] > kScreenMargin * (a + std::fabs(uh) + pairSize[jj]);
        };
        for (; j < n; ++j) {
            const std::size_t jj = static_cast<std::size_t>(j);
            const bool closed = hotCommon && (!bounds[jj].open || rowClosed(hot.interval, hot.resistance, uh, jj));
            candidatesPriced += static_cast<double>(closed ? ownStart[jj + 1] - ownStart[jj] : coldStart[jj + 1] - coldStart[jj]);
            if (closed || (hotCommon && pairSettled(jj))) {
                // No column to the interval's common rows pays: only its other rows are priced.
                for (std::size_t k = ownStart[jj]; k < ownStart[jj + 1]; ++k)
                    if (!screened || mayCount(ownRows[k], jj)) priceOne(ownRows[k]);
                continue;
            }
            if (screened) {
                std::size_t q = coldStart[jj];
                const std::size_t end = coldStart[jj + 1];
#if defined(__SSE2__)
                // Two candidates at a time: the screen's own operations, so that a pair it passes
                // over is one mayCount passes over; the others go to mayCount one by one (the
                // lists of the best may have moved since), in their order.
                const bool pairInverse = m_nKind == ShellAndTube;
                if (!pairInverse || hotCommon) {
                    const __m128d resistance = _mm_set1_pd(hot.resistance), price = _mm_set1_pd(uh);
                    const __m128d common = _mm_set1_pd(commonInverse[jj]), margin = _mm_set1_pd(kScreenMargin);
                    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffffLL));
                    for (; q + 2 <= end; q += 2) {
                        const __m128d a = _mm_mul_pd(_mm_add_pd(resistance, _mm_loadu_pd(&coldResistance[q])),
                                                     pairInverse ? common : _mm_loadu_pd(&coldInverseMTD[q]));
                        const __m128d y = _mm_add_pd(price, _mm_loadu_pd(&coldPrice[q]));
                        const __m128d worst = _mm_max_pd(_mm_set1_pd(bestOfHot.reduced[BestFew::Size - 1]),
                                                         _mm_loadu_pd(&coldWorst[q]));
                        const __m128d size = _mm_add_pd(_mm_and_pd(a, magnitude), _mm_and_pd(y, magnitude));
                        int passed = _mm_movemask_pd(
                            _mm_cmpgt_pd(_mm_sub_pd(a, y), _mm_add_pd(worst, _mm_mul_pd(margin, size))));
                        // Cold rows off the common approach are screened by their own test.
                        if (pairInverse) passed &= (coldCommon[q] ? 1 : 0) | (coldCommon[q + 1] ? 2 : 0);
                        if (passed == 3) continue;
                        if (!(passed & 1) && mayCount(q, jj)) priceOne(q);
                        if (!(passed & 2) && mayCount(q + 1, jj)) priceOne(q + 1);
                    }
                }
#endif
                for (; q < end; ++q)
                    if (mayCount(q, jj)) priceOne(q);
            } else {
                for (std::size_t q = coldStart[jj]; q < coldStart[jj + 1]; ++q) priceOne(q);
            }
        }
        for (int k = 0; k < BestFew::Size && bestOfHot.hot[k] >= 0; ++k)
            AddColumn(m_hotRows[static_cast<std::size_t>(bestOfHot.hot[k])], *coldRow[static_cast<std::size_t>(bestOfHot.cold[k])]);
        m_dLowerBound += mostNegative * m_rowLoads[static_cast<std::size_t>(hot.row)];
    }
    m_dCandidatesPriced = candidatesPriced;
    for (const BestFew& b : bestOfCold)
        for (int k = 0; k < BestFew::Size && b.hot[k] >= 0; ++k)
            AddColumn(m_hotRows[static_cast<std::size_t>(b.hot[k])], *coldRow[static_cast<std::size_t>(b.cold[k])]);
    return m_pModel->columns.size() - before;
}
