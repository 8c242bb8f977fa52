#pragma once

#include <string>

namespace bivane::sim {

// One pseudo-terminal: the simulator works on the master side, the program
// opens the slave by its name. The slave is put in raw mode at once (no echo,
// no translation) and stays open here for the device's whole life, so the
// master never sees a hang-up when the program closes and reopens its port.
// The master is non-blocking; both ends are closed on exec.
class PtyDevice {
  public:
    // Throws std::system_error when no pseudo-terminal can be had.
    PtyDevice();
    ~PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    int master() const { return m_master; }
    const std::string& slaveName() const { return m_slaveName; }

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slaveName;
};

}  // namespace bivane::sim
