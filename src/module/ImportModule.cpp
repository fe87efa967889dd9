// Compiled into each test suite that links the exchange module in, so that the
// program's door finds it without a file to load.
#include <QtPlugin>

Q_IMPORT_PLUGIN(ModuleEchangesOxi)
