#include "world/CParticle.h"
CParticle::CParticle() {}
CParticle::~CParticle() {}
void CParticle::Create(int) {}
void CParticle::Init() {}
void CParticle::Move() {}
void CParticle::Draw() {}
