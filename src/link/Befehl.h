#pragma once

#include <QtGlobal>

#include <vector>

// A command for the controller as plain data: the bytes in order, each with the pauses the
// line needs around it. The serial link plays it; the virtual controller and the tests read it.
struct Befehlsschritt {
    enum class Art { Byte, Pause, Marke };
    Art art = Art::Byte;
    quint8 wert = 0;     // Byte: the value on the line
    double sekunden = 0; // Pause: minimum length in seconds
    int marke = 0;       // Marke: a point the caller wants to hear about (e.g. "block i begins")

    static Befehlsschritt byte(quint8 b) { return {Art::Byte, b, 0, 0}; }
    static Befehlsschritt pause(double s) { return {Art::Pause, 0, s, 0}; }
    static Befehlsschritt markeBei(int m) { return {Art::Marke, 0, 0, m}; }
    bool operator==(const Befehlsschritt &o) const {
        return art == o.art && wert == o.wert && sekunden == o.sekunden && marke == o.marke;
    }
};

using Befehl = std::vector<Befehlsschritt>;

// Builder helpers: appending bytes and pauses reads like the protocol tables.
inline void sende(Befehl &b, quint8 wert) {
    b.push_back(Befehlsschritt::byte(wert));
}
inline void warte(Befehl &b, double sekunden) {
    b.push_back(Befehlsschritt::pause(sekunden));
}
inline void sendePause(Befehl &b, quint8 wert, double sekunden) {
    sende(b, wert);
    warte(b, sekunden);
}
