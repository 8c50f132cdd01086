#include "maintenance/MigrationProgress.h"

MigrationProgress::~MigrationProgress() = default;
