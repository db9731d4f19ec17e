local self = { hp = 0, energy = 0, total = 0 }
for _ = 1, 3000000 do
  self.hp = self.hp + 1
  self.energy = self.hp * 2
  self.total = self.total + self.energy - self.hp
end
print(string.format("%d", self.total))
