#pragma once
// The host's road to a design's pictures: the module makes the design's viewer as the scenario
// viewer makes it, so that the pictures read what the forms read, and hands out its exchanger
// bar chart or its driving-force plot. C linkage, looked up by name after dlopen.
class IHENDesign;

extern "C" {
// Kinds of design plot.
enum { KestrinDesignBarChart = 0, KestrinDesignDrivingForce = 1 };
// The plot of `kind` of the design: for the bar chart `quantity` 0 shells, 1 area, 2 duty, 3 UA
// value. `what` 0 gives the SVG picture, 1 a JSON text as the scenario plots give it. Copies
// into `out` (of `size` bytes, zero-ended) and returns the bytes the whole text needs with its
// zero; 0 without a design or its scenario, for another kind or quantity.
int KestrinDesignPlot(IHENDesign* design, int kind, int quantity, int what, char* out, int size);
// The temperature-enthalpy plot of the exchanger named `unit` ("UnitOperationName"), as its
// exchanger view draws it; `what`, `out` and `size` as above. -1 when the design has no exchanger
// of that name; 0 without a design or its scenario.
int KestrinExchangerPlot(IHENDesign* design, const char* unit, int what, char* out, int size);
}
