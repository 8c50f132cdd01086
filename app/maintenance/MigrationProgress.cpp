#include "MigrationProgress.h"

MigrationProgress::~MigrationProgress() = default;
