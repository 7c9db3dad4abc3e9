// A library that loads but exports no "facecount".
extern "C" __attribute__((visibility("default"))) int not_facecount() { return 1; }
