#pragma once
// One exchange of the library's Modbus master on the link's port, under the
// link's rules: the scope's stream paused around it, and input left from an
// earlier exchange dropped first (the master itself sends without a purge).

#include <functional>

class CModbus;

// Runs `exchange` on `modbus`; 0 without calling it when no port is open.
int RunModbusExchange(CModbus& modbus, const std::function<int(CModbus&)>& exchange);
