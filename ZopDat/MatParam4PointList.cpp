#include "ZopDat/MatParam4PointList.h"

MatParam4PointList::MatParam4PointList(const MatParam4PointList& other) {
    points_.reserve(other.points_.size());
    for (const auto& point : other.points_) {
        points_.push_back(std::make_unique<MatParam4Point>(*point));
    }
}

MatParam4PointList& MatParam4PointList::operator=(const MatParam4PointList& other) {
    if (this != &other) {
        MatParam4PointList copy(other);
        points_.swap(copy.points_);
    }
    return *this;
}

MatParam4PointList::~MatParam4PointList() = default;

MatParam4Point* MatParam4PointList::Get(int index) {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return points_[static_cast<std::size_t>(index)].get();
}

const MatParam4Point* MatParam4PointList::Get(int index) const {
    return const_cast<MatParam4PointList*>(this)->Get(index);
}

void MatParam4PointList::Add(MatParam4Point* entry) {
    if (entry != nullptr) {
        points_.push_back(std::unique_ptr<MatParam4Point>(entry));
    }
}

void MatParam4PointList::Clear() {
    points_.clear();
}
