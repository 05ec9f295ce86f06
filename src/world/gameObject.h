// The world's objects: fixed obstacles (plain GameObjects), the red and blue
// blocks that step after the player changes cell, and the player itself.
// Each object stands in one grid; a Level owns a grid and its objects.
#pragma once

#include "world/cell.h"
#include "world/levelGrid.h"

#include <glm/vec3.hpp>

#include <cstdint>
#include <vector>

class GameObject {
  public:
    // Enters the grid at cell.
    GameObject(Cell cell, LevelGrid& grid);
    // A copy carries the cell only: it enters no grid entry, and destroying
    // it touches the grid neither.
    GameObject(const GameObject&) = default;
    GameObject& operator=(const GameObject&) = default;
    // Does not erase the object's grid entry.
    virtual ~GameObject() = default;

    // Leaves the current cell and occupies target; checks nothing.
    virtual void moveTo(Cell target);

    Cell cell;

  protected:
    LevelGrid* grid;

  private:
    // A copied level points its copied objects at its own grid.
    friend class Level;
};

class Block : public GameObject {
  protected:
    using GameObject::GameObject;
    // One cell along the direction code's axis, with its sign (sense +1) or
    // against it (sense -1), if that cell is free and inside the level.
    void stepAlong(Direction direction, int32_t sense);
};

class RedBlock : public Block {
  public:
    RedBlock(Cell start, LevelGrid& grid);
    // The start cells of every red block of its grid, in construction order.
    virtual std::vector<Cell> startCells() const;
    // One cell with the player's direction, if that cell is free and inside.
    void step(Direction direction);
};

class BlueBlock : public Block {
  public:
    BlueBlock(Cell start, LevelGrid& grid);
    virtual std::vector<Cell> startCells() const;
    // One cell against the player's direction, if free and inside.
    void step(Direction direction);
};

class Player : public GameObject {
  public:
    // Enters the grid at start, then moves to the cell of startPosition.
    Player(Cell start, glm::vec3 startPosition, LevelGrid& grid);
    // Takes the camera position: moves the grid entry to its cell and
    // records the direction code of the change (0 when the cell stayed).
    void setPosition(glm::vec3 position);

    Direction direction = 0;
    glm::vec3 position;
};
