#pragma once
// Small heat-transfer relations shared by the exchanger models: the log-mean temperature
// difference of a countercurrent exchange and the overall coefficient from two film
// coefficients. Temperatures in °C, coefficients in kW/(m2.C).

// Log-mean of the two end temperature differences of an exchanger.
// Answers 0 when either difference is not positive or not finite (no countercurrent
// driving force exists). When the two differences are nearly equal (their difference within
// 1e-4 of their mean) the quotient (dt1 - dt2) / ln(dt1 / dt2) loses its digits to
// cancellation, so a series about the arithmetic mean is used there instead.
double LogMeanTemperatureDifference(double dt1, double dt2);

// Overall heat-transfer coefficient of two film resistances in series,
// 1/U = 1/hHot + 1/hCold (the film coefficients already carry their fouling).
// Answers 0 when either coefficient is not positive or not finite (an empty value such as
// -32767.0 included).
double OverallCoefficient(double hHot, double hCold);
