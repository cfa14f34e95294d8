#pragma once
// What a stream takes for a segment that holds no clean film coefficient of its own: the stream
// fills it in, and the views tell such a segment from one with a typed coefficient by it.
namespace StreamDefaults {
constexpr double CleanCoefficient = 0.2;  // kW/(m2.°C)
}  // namespace StreamDefaults
