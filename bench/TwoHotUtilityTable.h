#pragma once
// A table of random process streams with two hot utilities and one cold, as a user's script draws
// it with Python's random module: seeded with one whole number, hot and cold streams in turn, hot
// supply 80 to 300 C and target 45 C to 10 K below supply, cold supply 10 to 250 C and target 10 K
// above supply to 290 C, CP 0.5 to 10, film coefficients 0.1 to 1, written to two and three
// decimals; then HP Steam, Cooling Water and Fired Heat (1000). The draws are Python's (the
// Mersenne twister seeded by its key array, 53-bit fractions), so the table is the script's to
// the last digit.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace bench_table {

class PythonRandom {
public:
    explicit PythonRandom(std::uint32_t seed) {
        // init_by_array with the one-word key of a small whole number.
        Init(19650218u);
        std::size_t i = 1;
        for (std::size_t k = kN; k > 0; --k) {
            m_mt[i] = (m_mt[i] ^ ((m_mt[i - 1] ^ (m_mt[i - 1] >> 30)) * 1664525u)) + seed;
            if (++i >= kN) {
                m_mt[0] = m_mt[kN - 1];
                i = 1;
            }
        }
        for (std::size_t k = kN - 1; k > 0; --k) {
            m_mt[i] = (m_mt[i] ^ ((m_mt[i - 1] ^ (m_mt[i - 1] >> 30)) * 1566083941u)) - static_cast<std::uint32_t>(i);
            if (++i >= kN) {
                m_mt[0] = m_mt[kN - 1];
                i = 1;
            }
        }
        m_mt[0] = 0x80000000u;
        m_next = kN;
    }
    // random.uniform(a, b).
    double Uniform(double a, double b) { return a + (b - a) * Fraction(); }

private:
    static constexpr std::size_t kN = 624, kM = 397;
    void Init(std::uint32_t s) {
        m_mt[0] = s;
        for (std::size_t i = 1; i < kN; ++i)
            m_mt[i] = 1812433253u * (m_mt[i - 1] ^ (m_mt[i - 1] >> 30)) + static_cast<std::uint32_t>(i);
    }
    std::uint32_t Next() {
        if (m_next >= kN) {
            for (std::size_t k = 0; k < kN; ++k) {
                const std::uint32_t y = (m_mt[k] & 0x80000000u) | (m_mt[(k + 1) % kN] & 0x7fffffffu);
                m_mt[k] = m_mt[(k + kM) % kN] ^ (y >> 1) ^ ((y & 1u) ? 0x9908b0dfu : 0u);
            }
            m_next = 0;
        }
        std::uint32_t y = m_mt[m_next++];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        return y ^ (y >> 18);
    }
    // random.random(): 53 bits from two draws.
    double Fraction() {
        const double a = Next() >> 5, b = Next() >> 6;
        return (a * 67108864.0 + b) * (1.0 / 9007199254740992.0);
    }
    std::array<std::uint32_t, kN> m_mt{};
    std::size_t m_next = kN;
};

// The table of `streams` process streams (H0, C1, H2, ...) and the three utilities, as CSV.
inline std::string TwoHotUtilityCsv(int streams, std::uint32_t seed) {
    PythonRandom random(seed);
    std::string csv = "name,supply,target,cp,h,kind\n";
    char line[160];
    for (int i = 0; i < streams; ++i) {
        const bool hot = i % 2 == 0;
        const double a = hot ? random.Uniform(80, 300) : random.Uniform(10, 250);
        const double b = hot ? random.Uniform(45, a - 10) : random.Uniform(a + 10, 290);
        const double cp = random.Uniform(0.5, 10);
        const double h = random.Uniform(0.1, 1);
        std::snprintf(line, sizeof line, "%c%d,%.2f,%.2f,%.3f,%.3f,process\n", hot ? 'H' : 'C', i, a, b, cp, h);
        csv += line;
    }
    return csv + "HP Steam,,,,,utility\nCooling Water,,,,,utility\nFired Heat (1000),,,,,utility\n";
}

}  // namespace bench_table
