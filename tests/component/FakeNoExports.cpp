// A library that loads but exports no factory at all.

int WoxFakeNothingExported() { return 0; }
