#include "PrintPanel.h"

PrintPanel::~PrintPanel() = default;
