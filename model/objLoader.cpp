#include "model/objLoader.h"
int objLoader::load(const char*) { return 0; }
void objLoader::Draw() {}
