#pragma once

#include <functional>

// Clock and pauses of the serial protocol.
namespace MsTimer {

// Seconds on the monotonic clock, unrounded (nanosecond resolution).
double Uhr();

// The same clock in steps of 0.1 ms, as a fixed-point value with four decimals.
double Zeitstempel();

// Waits at least the given seconds, counted from the call, while the window keeps repainting
// and taking input. Long stretches sleep in the event loop; the last two milliseconds are
// slept precisely and then polled, so a 0.1 ms pause is not stretched to a timer tick.
// A zero or negative time returns at once.
void Warten(double sekunden);

// Waits until the clock reaches ziel (seconds of Uhr()). Returns false when abbrechen() became
// true first; abbrechen is tested after every batch of events, and Aufwecken() makes every
// running wait test it at once.
bool WartenBis(double ziel, const std::function<bool()> &abbrechen = {});

// Makes all waits that are running test their abort condition now.
void Aufwecken();

} // namespace MsTimer
