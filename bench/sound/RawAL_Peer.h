// Raw OpenAL on its own loopback device: the same sine buffer played by two
// sources per voice (one at each speaker), each sending to an echo and a
// reverb slot, rendered in the same blocks as the runner renders.
#pragma once

#include <memory>
#include <vector>

namespace tavrin::bench {

class CRawALPeer {
 public:
  CRawALPeer(const std::vector<float>& sine, int rate);
  ~CRawALPeer();
  // Starts `voices` looping voices, renders `frames` frames, stops them.
  void Play(int voices, int frames, std::vector<float>& out);

 private:
  struct RState;
  std::unique_ptr<RState> m_state;
};

}  // namespace tavrin::bench
