int RunMountScenario(int, char**) { return 0; }
