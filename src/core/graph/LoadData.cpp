#include "LoadData.h"

LoadData::~LoadData() = default;
