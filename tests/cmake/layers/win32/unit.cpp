int layerCaseWindowsUnit() { return 0; }
