int layerCaseUnit() { return 0; }
