#include "VmuChain.h"

#include "Messages.h"

std::string ChainFaultText(const CVmuChain& chain) {
  using card_format::ChainFault;
  const std::string block = std::to_string(chain.faultBlock);
  switch (chain.fault) {
    case ChainFault::None:
      break;
    case ChainFault::Loops:
      return Fill(message::kChainLoops, {block});
    case ChainFault::EntersSystem:
      return Fill(message::kChainEntersSystem, {block});
    case ChainFault::LeavesPage:
      return Fill(message::kChainLeavesPage, {block});
    case ChainFault::OverFreeBlock:
      return Fill(message::kChainOverFreeBlock, {block});
    case ChainFault::SizeDisagrees:
      return Fill(message::kChainSizeDisagrees,
                  {Counted(chain.size, message::kOneBlock, message::kBlocks),
                   std::to_string(chain.blocks.size())});
  }
  return std::string();
}
