#include "ZopDat/MatParam4PointList.h"

MatParam4PointList::MatParam4PointList(const MatParam4PointList& other) = default;

MatParam4PointList& MatParam4PointList::operator=(const MatParam4PointList& other) = default;

MatParam4PointList::~MatParam4PointList() = default;
