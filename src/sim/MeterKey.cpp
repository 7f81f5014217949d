#include "sim/MeterKey.h"

namespace varnex::sim {

const char* NameOf(MeterKey key)
{
    switch (key) {
    case MeterKey::Dcv: return "DCV";
    case MeterKey::Acv: return "ACV";
    case MeterKey::Dci: return "DCI";
    case MeterKey::Aci: return "ACI";
    case MeterKey::Ohm: return "OHM";
    case MeterKey::Reset: return "RST";
    case MeterKey::Cap: return "CAP";
    case MeterKey::Hz: return "Hz";
    case MeterKey::Continuity: return "CONTINUITY";
    case MeterKey::Diode: return "DIODE";
    case MeterKey::Setup: return "SETUP";
    case MeterKey::Up: return "UP";
    case MeterKey::Auto: return "AUTO";
    case MeterKey::Down: return "DOWN";
    case MeterKey::Hold: return "HOLD";
    case MeterKey::Recall: return "RCL";
    case MeterKey::Store: return "STO";
    case MeterKey::MaxMin: return "MAX MIN";
    case MeterKey::Rel: return "REL";
    case MeterKey::Cal: return "CAL";
    case MeterKey::AcDc: return "AC+DC";
    }
    return "?";
}

} // namespace varnex::sim
