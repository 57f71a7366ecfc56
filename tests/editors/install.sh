#!/usr/bin/env bash
# Installs the pinned editor test tools (package-lock.json) into
# tests/editors/node_modules, where the editor tests look for them.
set -euo pipefail
cd "$(dirname "$0")"
npm ci --no-audit --no-fund
