#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The link COMn the virtual controller makes to its pseudo-terminal carries a marker beside it,
// ".COMn.sim": the controller's process number and the device the link leads to, in a file the
// controller keeps locked for as long as it runs. A link whose marker names the link's device
// but is no longer locked was left by a controller that was killed; its pseudo-terminal may by
// now belong to another program, so nothing may be sent through it, and the next virtual
// controller may replace it. A link without such a marker is someone else's and is left alone.
namespace Simulatorlink {

QString Markenpfad(const QString &link);

// Whether the entry link was left by a virtual controller that no longer runs. Looking takes
// no lock from a running controller. prozess receives the number the controller had.
bool Verwaist(const QString &link, qint64 *prozess = nullptr);

// A running virtual controller's hold on the marker of its link.
class Besitz {
public:
    Besitz() = default;
    Besitz(const Besitz &) = delete;
    Besitz &operator=(const Besitz &) = delete;
    ~Besitz() { freigeben(); }

    // Locks the marker of link, making it when missing. false with fehler() when another
    // virtual controller holds it or it cannot be made.
    bool sperren(const QString &link);
    // While locked: whether the entry at the link is the link of the controller that held the
    // marker before (killed, since the lock was free), and may be replaced.
    bool verwaisterLink() const;
    // Writes this process and the device into the locked marker.
    bool beschriften(const QString &geraet);
    // Removes the marker and gives up the lock.
    void freigeben();
    QString fehler() const { return m_fehler; }

private:
    int m_handle = -1;
    QString m_link;
    QByteArray m_vorher; // the marker's content when it was locked
    QString m_fehler;
};

} // namespace Simulatorlink
