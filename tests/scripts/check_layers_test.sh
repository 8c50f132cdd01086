#!/usr/bin/env bash
# Runs scripts/check-layers on scratch trees: a clean tree passes; an include running upward, a
# same-layer include, a parent-folder path, Qt Widgets outside the widget layer, a library below
# app/ including the application, and an unlisted folder each fail with a line naming the file.
set -uo pipefail
script=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

tree()
{
    rm -rf "$scratch/tree"
    mkdir -p "$scratch/tree/app/base" "$scratch/tree/app/model" "$scratch/tree/app/core" \
        "$scratch/tree/app/ui" "$scratch/tree/app/import" "$scratch/tree/app/report" \
        "$scratch/tree/app/sync" "$scratch/tree/platform/persistence"
    printf '#pragma once\n#include <QString>\n' >"$scratch/tree/app/base/Log.h"
    printf '#include "Log.h"\n#include "persistence/ObjectID.h"\n' >"$scratch/tree/app/base/Log.cpp"
    printf '#include "base/Log.h"\n' >"$scratch/tree/app/model/Product.h"
    printf '#include "model/Product.h"\n#include "report/Report.h"\n' >"$scratch/tree/app/sync/Sync.cpp"
    printf '#include "model/Product.h"\n' >"$scratch/tree/app/report/Report.h"
    printf '#include "model/Product.h"\n' >"$scratch/tree/app/import/Import.cpp"
    printf '#include "import/Import.h"\n#include "base/Log.h"\n' >"$scratch/tree/app/core/Controller.cpp"
    printf '#include "core/Controller.h"\n#include <QWidget>\n#include <QtWidgets/QMenu>\n' \
        >"$scratch/tree/app/ui/Window.cpp"
    printf '#include "ui/Window.h"\n#include <QApplication>\n' >"$scratch/tree/app/main.cpp"
    printf '#include "persistence/ObjectID.h"\n' >"$scratch/tree/platform/persistence/Store.cpp"
}

expect()
{
    local description=$1 status=$2 fragment=$3 output
    output=$("$script" --root "$scratch/tree" 2>&1)
    local actual=$?
    if [[ $actual != "$status" || $output != *"$fragment"* ]]; then
        echo "FAILED: $description (exit $actual, expected $status; output: $output)"
        failures=$((failures + 1))
    else
        echo "ok: $description"
    fi
}

tree
expect "a tree whose includes run downward passes" 0 "includes follow the layers"

tree
printf '#include "core/Controller.h"\n' >>"$scratch/tree/app/model/Product.h"
expect "an upward include fails" 1 "app/model/Product.h:2: model includes core, a higher layer"

tree
printf '#include "sync/Sync.h"\n' >>"$scratch/tree/app/import/Import.cpp"
expect "a same-layer include that is not listed fails" 1 "import includes sync on its own layer"

tree
mkdir -p "$scratch/tree/app/cli"
printf '#include "ui/Window.h"\n' >"$scratch/tree/app/cli/Command.cpp"
expect "the command line including the window fails" 1 "cli includes ui on its own layer"

tree
printf '#include "../core/Controller.h"\n' >>"$scratch/tree/app/import/Import.cpp"
expect "a parent-folder include fails" 1 "include with a parent-folder path"

tree
printf '#include <QMessageBox>\n' >>"$scratch/tree/app/report/Report.h"
expect "Qt Widgets outside the widget layer fails" 1 "Qt Widgets outside the widget layer: <QMessageBox>"

tree
printf '#include <QtWidgets/QWidget>\n' >>"$scratch/tree/app/model/Product.h"
expect "a module-qualified Qt Widgets include fails" 1 "<QtWidgets/QWidget>"

tree
printf '#include "model/Product.h"\n' >>"$scratch/tree/platform/persistence/Store.cpp"
expect "a library below app/ including the application fails" 1 "a library below app/ includes the application"

tree
mkdir -p "$scratch/tree/app/extras"
printf '#include "base/Log.h"\n' >"$scratch/tree/app/extras/Extra.cpp"
expect "a folder missing from the layer list fails" 1 "app/extras: folder is not in the layer list"

echo "$((9 - failures)) passed, $failures failed"
((failures == 0))
